// The products the system PROM's board data can name.
#ifndef PROMCFG_PROM_PRODUCT_TABLE_H
#define PROMCFG_PROM_PRODUCT_TABLE_H

#include <cstdint>

struct ProductEntry {
    int32_t id;
    int32_t subtype;
    char name[32];
};

// In table order, ending with the terminating row (id -1, "Unknown").
extern const ProductEntry product_table[];

// The first row with this ID and subtype, or the terminating row.
const ProductEntry &find_product(int32_t id, int32_t subtype);

// "Valid Product IDs:" and a line per row before the terminating row.
void print_product_list();

#endif
