// The blade products: those whose module has a blade VPD PROM, what the
// set-up record copies of their system PROM, and how much of the PROM the
// print shows. Every place that tells blade products apart reads this table.
#ifndef PROMCFG_BLADEVPD_BLADE_PRODUCTS_H
#define PROMCFG_BLADEVPD_BLADE_PRODUCTS_H

#include <cstdint>

struct BladeProduct {
    int32_t id;
    // The set-up record carries the second Ethernet MAC, then the first;
    // else the first alone.
    bool two_macs;
    // Passes of 8 KiB that the 8K print shows (the first with the block
    // headers); 0 for a product printed by the 4 KiB print alone.
    int print_8k_passes;
};

constexpr BladeProduct blade_products[] = {
    {34, false, 0}, {35, false, 0}, {43, false, 1}, {47, false, 1}, {53, false, 1},
    {59, true, 8},  // the whole 64 KiB
};

// The row of `product_id`, or null for a product without a blade VPD.
constexpr const BladeProduct *find_blade_product(int32_t product_id)
{
    for (const BladeProduct &product : blade_products)
        if (product.id == product_id)
            return &product;
    return nullptr;
}

#endif
