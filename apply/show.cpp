#include "apply/show.h"

#include <cstdio>
#include <string>

#include "apply/checks.h"
#include "apply/json.h"
#include "apply/value_check.h"

namespace {

// A text as long as the display shows may be longer in the PROM.
bool may_be_longer(const Identity &identity, int item)
{
    return identity.defined[item] && item_info(item).row->prom == ItemProm::system &&
           item_info(item).row->kind == ItemKind::text &&
           identity.value[item].size() == display_text_max;
}

// Items of a PROM that was read, which the read could not give: only a
// layout places them.
bool not_read(const Identity &identity, int item)
{
    ItemProm prom = item_info(item).row->prom;
    bool prom_read = prom == ItemProm::blade_vpd   ? identity.shown[item_chassis_type]
                     : prom == ItemProm::kestrel ? identity.shown[item_kestrel_service_tag]
                                                 : false;
    return prom_read && !identity.shown[item];
}

// Why each item read could not be a file's line as it reads ("" when it
// can). The same checks as for a file, one line per item, until what is
// left passes them: an item left out can leave another without its partner
// (a subassembly count without any subassembly ID). An entry carries the
// number of the line it is printed on, which reasons may name.
void file_reasons(const Identity &identity, const Layout *layout, std::string (&reason)[item_count])
{
    for (int item = 0; item < item_count; ++item) {
        ItemDialogue dialogue = item_info(item).row->dialogue;
        bool in_record = dialogue == ItemDialogue::blade_setup || dialogue == ItemDialogue::kestrel_setup;
        if (in_record && identity.defined[item] && identity.value[item].empty())
            reason[item] = "empty: a file that leaves it out keeps it so";
        if (may_be_longer(identity, item))
            reason[item] = "may be longer: promcfg's display shows at most " + std::to_string(display_text_max) +
                           " characters of a text, and the file would cut it";
    }
    for (;;) {
        std::vector<Entry> entries;
        unsigned long line = 1;  // the heading
        for (int item = 0; item < item_count; ++item) {
            if (!identity.defined[item])
                continue;
            ++line;
            if (reason[item].empty())
                entries.push_back({line, item, file_form(item, identity.value[item])});
        }
        Wanted wanted;
        Problems problems;
        check_entries(entries, identity, layout, wanted, problems);
        if (problems.list.empty())
            break;
        for (const Problem &problem : problems.list)
            if (reason[problem.item].empty())
                reason[problem.item] = problem.reason;
    }
}

}  // namespace

void print_show_file(const Identity &identity, const Layout *layout)
{
    std::string reason[item_count];
    file_reasons(identity, layout, reason);
    printf("# The identity the switch holds, as promcfg shows it.\n");
    std::string undefined, unread;
    for (int item = 0; item < item_count; ++item) {
        std::string name = item_name(item);
        if (identity.shown[item] && !identity.defined[item])
            undefined += " " + name;
        if (not_read(identity, item))
            unread += " " + name;
        if (!identity.defined[item])
            continue;
        if (reason[item].empty())
            printf("%s = %s\n", name.c_str(), file_form(item, identity.value[item]).c_str());
        else
            printf("# %s = %s: %s\n", name.c_str(), printable(identity.value[item]).c_str(), reason[item].c_str());
    }
    if (!undefined.empty())
        printf("# undefined:%s\n", undefined.c_str());
    if (!unread.empty())
        printf("# not read, as no layout places them:%s\n", unread.c_str());
    if (!shows_any_item(identity))
        printf("# no item: the system PROM is blank, erased or damaged\n");
}

void print_show_json(const Identity &identity, const Layout *layout, int status)
{
    std::string reason[item_count];
    file_reasons(identity, layout, reason);
    printf("{");
    const char *separator = "\n";
    std::string undefined, longer, unread, kept_out;
    for (int item = 0; item < item_count; ++item) {
        std::string name = json_string(item_name(item));
        if (identity.defined[item] && !reason[item].empty())
            kept_out += (kept_out.empty() ? "" : ", ") + name;
        if (identity.shown[item] && !identity.defined[item])
            undefined += (undefined.empty() ? "" : ", ") + name;
        if (not_read(identity, item))
            unread += (unread.empty() ? "" : ", ") + name;
        if (may_be_longer(identity, item))
            longer += (longer.empty() ? "" : ", ") + name;
        if (!identity.defined[item])
            continue;
        printf("%s  %s: %s", separator, name.c_str(),
               json_item_value(item, file_form(item, identity.value[item]), true).c_str());
        separator = ",\n";
    }
    printf("%s  \"undefined\": [%s],\n  \"not_read\": [%s],\n  \"may_be_longer\": [%s],\n  \"not_in_file\": [%s],\n"
           "  \"no_item\": %s,\n  \"status\": %d\n}\n",
           separator, undefined.c_str(), unread.c_str(), longer.c_str(), kept_out.c_str(),
           shows_any_item(identity) ? "false" : "true", status);
}
