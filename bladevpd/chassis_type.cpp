#include <cstdio>

#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"

namespace {

struct ChassisName {
    int code;
    const char *name;
};

// Code 5 has no name.
constexpr ChassisName chassis_names[] = {
    {0, "Enterprise"}, {1, "Telco"}, {2, "HT"}, {3, "BCH"}, {4, "BCS"}, {6, "BCE-R"}, {7, "BCH Pass 10"},
};

void print_current_type(int code)
{
    for (const ChassisName &entry : chassis_names) {
        if (entry.code == code) {
            printf("Current chassis type is '%s'\n", entry.name);
            return;
        }
    }
    printf("Current chassis type is Unknown\n");
}

}  // namespace

void chassis_type_print()
{
    VpdSession session;
    if (session.refused())
        return;
    int type = session.client().chassis_type();
    if (type < 0)
        printf("Error reading chassis type from history buffer! rc=%d (%#x)\n", type, type);
    else
        printf("Chassis type = %#x\n", type);
}

void chassis_type_set(ChassisType type)
{
    VpdSession session;
    if (session.refused())
        return;
    // A failed read only shows as Unknown: the new type is written anyway.
    print_current_type(session.client().chassis_type());
    printf("Setting chassis type to %#x....", type);
    int rc = session.client().set_chassis_type(type);
    if (rc < 0)
        printf("\nError setting chassis type! (rc=%#x)\n", rc);
    else
        printf("Done.\n\n");
}

void chassis_type_set_enterprise()
{
    chassis_type_set(0);
}

void chassis_type_set_telco()
{
    chassis_type_set(1);
}

void chassis_type_set_ht()
{
    chassis_type_set(2);
}
