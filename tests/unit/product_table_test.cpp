#include <gtest/gtest.h>

#include <cstring>

#include "prom/product_table.h"

namespace {

TEST(FindProduct, WalksInTableOrderToTheTerminatingRow)
{
    struct Case {
        int32_t id;
        int32_t subtype;
        const char *name;
        bool first_row;
    };
    const Case cases[] = {
        {15, 0, "Arlen", true},   {59, 0, "Pellan", false},  {51, 0, "Varden", false},
        {15, 1, "Unknown", false}, {38, 0, "Unknown", false}, {0, 0, "Unknown", false},
        {-1, 0, "Unknown", false},
    };
    for (const Case &c : cases) {
        const ProductEntry &row = find_product(c.id, c.subtype);
        EXPECT_STREQ(row.name, c.name) << c.id;
        if (c.first_row) {
            EXPECT_EQ(&row, &product_table[0]);
        }
        if (strcmp(c.name, "Unknown") == 0) {
            EXPECT_EQ(row.id, -1);
        }
    }
}

TEST(FindProduct, FindsEveryListedRowByItsOwnId)
{
    // The second row of ID 15 is never found: the first one is.
    for (const ProductEntry *row = product_table; row->id != -1; ++row) {
        const ProductEntry &found = find_product(row->id, 0);
        EXPECT_EQ(found.id, row->id);
        EXPECT_STREQ(found.name, row->name) << row->id;
        EXPECT_EQ(found.subtype, 0) << row->id;
    }
}

}  // namespace
