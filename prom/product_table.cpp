#include "prom/product_table.h"

#include <cstdio>

// Not sorted, and ID 15 stands twice: the lookup walks in table order and
// the list shows every row.
constexpr ProductEntry product_table[] = {
    {15, 0, "Arlen"},
    {19, 0, "Brevik"},
    {36, 0, "Dorran"},
    {37, 0, "Gavrel"},
    {40, 0, "Hollin Blade"},
    {41, 0, "Jorvan Blade"},
    {43, 0, "Kelbry Blade"},
    {44, 0, "Lunet"},
    {46, 0, "Norvik"},
    {47, 0, "Oberin 8G blade"},
    {59, 0, "Pellan"},
    {48, 0, "Quenby 8G blade"},
    {49, 0, "Jorvan-2 blade"},
    {50, 0, "Ulmer"},
    {51, 0, "Varden"},
    {15, 0, "Arlen"},
    {-1, 0, "Unknown"},
};

const ProductEntry &find_product(int32_t id, int32_t subtype)
{
    const ProductEntry *row = product_table;
    while (row->id != -1 && !(row->id == id && row->subtype == subtype))
        ++row;
    return *row;
}

void print_product_list()
{
    printf("Valid Product IDs:\n");
    for (const ProductEntry *row = product_table; row->id != -1; ++row)
        printf("\t%d\t= %s\n", row->id, row->name);
}
