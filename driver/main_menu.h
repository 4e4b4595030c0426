// The interactive "Main configuration menu".
#ifndef PROMCFG_DRIVER_MAIN_MENU_H
#define PROMCFG_DRIVER_MAIN_MENU_H

struct MenuEntry {
    char name[80];
    void (*action)();
};

// Rows up to the terminating row (empty name, no action); a row's number is
// its index.
extern const MenuEntry menu_table[];

// The label of the row that runs `action`.
const char *menu_row_label(void (*action)());

[[noreturn]] void menu_exit();

// Lists the rows, runs the chosen one, lists again; ends only through the
// "Exit" row or at end of input.
[[noreturn]] void main_menu();

#endif
