#include "apply/show.h"

#include <cstdio>
#include <string>

#include "apply/checks.h"
#include "apply/json.h"
#include "apply/value_check.h"

void print_show_file(const Identity &identity)
{
    // The same checks as for a file, one line per item, until what is left
    // passes them: an item left out can leave another without its partner
    // (a subassembly count without any subassembly ID). An entry carries
    // the number of the line it is printed on, which reasons may name.
    std::string reason[item_count];
    for (;;) {
        std::vector<Entry> entries;
        unsigned long line = 1;  // the heading
        for (int item = 0; item < item_count; ++item) {
            if (!identity.defined[item])
                continue;
            ++line;
            if (reason[item].empty())
                entries.push_back({line, item, identity.value[item]});
        }
        Wanted wanted;
        Problems problems;
        check_entries(entries, identity, wanted, problems);
        if (problems.list.empty())
            break;
        for (const Problem &problem : problems.list)
            if (reason[problem.item].empty())
                reason[problem.item] = problem.reason;
    }

    printf("# The identity in the switch's system PROM, as promcfg -P shows it.\n");
    std::string undefined;
    for (int item = 0; item < item_count; ++item) {
        std::string name = item_name(item);
        if (identity.shown[item] && !identity.defined[item])
            undefined += " " + name;
        if (!identity.defined[item])
            continue;
        if (reason[item].empty())
            printf("%s = %s\n", name.c_str(), identity.value[item].c_str());
        else
            printf("# %s = %s: %s\n", name.c_str(), printable(identity.value[item]).c_str(), reason[item].c_str());
    }
    if (!undefined.empty())
        printf("# undefined:%s\n", undefined.c_str());
}

void print_show_json(const Identity &identity)
{
    printf("{");
    const char *separator = "\n";
    std::string undefined;
    for (int item = 0; item < item_count; ++item) {
        std::string name = json_string(item_name(item));
        if (identity.shown[item] && !identity.defined[item])
            undefined += (undefined.empty() ? "" : ", ") + name;
        if (!identity.defined[item])
            continue;
        printf("%s  %s: %s", separator, name.c_str(),
               json_item_value(item, identity.value[item], true).c_str());
        separator = ",\n";
    }
    printf("%s  \"undefined\": [%s]\n}\n", separator, undefined.c_str());
}
