// promsim keeps its own table of the system PROM's items (with the emulator's
// record IDs, which the tool must not know); identity files name items as
// promsim does. Where both tables have an item, the names and the family
// sizes agree.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "prom/identity_items.h"
#include "tools/system_items.h"

namespace {

TEST(ItemNames, IdentityItemsAreNamedAsPromsimNamesThem)
{
    for (const IdentityItem &row : system_identity_items) {
        SCOPED_TRACE(row.name);
        const promsim_tool::SystemItem *found = nullptr;
        for (const promsim_tool::SystemItem &item : promsim_tool::kSystemItems)
            if (strcmp(item.name, row.name) == 0)
                found = &item;
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(static_cast<unsigned>(found->count), row.count);
        bool text = row.kind == ItemKind::text;
        EXPECT_EQ(found->kind == promsim_tool::ItemKind::text, text);
    }
}

}  // namespace
