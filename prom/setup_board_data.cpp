#include "prom/prom_actions.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/ground/console_input.h"
#include "driver/ground/failed_call.h"
#include "driver/ground/strtol32.h"
#include "prom/entry_prompts.h"
#include "prom/hex_text.h"
#include "prom/product_table.h"
#include "swServerApi.h"

namespace {

constexpr unsigned max_subassemblies = board_max_subassemblies;
// A library that reports more ASIC MACs than there is room for gets the
// first ones asked and written; the rest keep what the PROM holds.
constexpr unsigned max_asic_macs = board_max_asic_macs;
constexpr int32_t text_max = board_text_max;
constexpr int32_t port_count = 20;

struct BoardAnswers {
    int32_t product_id = 0;
    bool product_id_entered = false;
    char product_code[24] = {};
    char board_sn[24] = {};
    uint32_t subassembly_count = 0;
    char subassemblies[max_subassemblies][24] = {};
    bool any_subassembly = false;
    uint32_t asic_mac_count = 0;
    unsigned char asic_macs[max_asic_macs][6] = {};
    bool asic_mac_entered[max_asic_macs] = {};
    bool any_asic_mac = false;
};

void ask_text(const char *format, char *answer)
{
    char prompt[80];
    snprintf(prompt, sizeof prompt, format, text_max);
    prompt_input(prompt, answer, text_max + 1);
}

// An ID from the product table, or the PROM's own (0 if unreadable) when
// the answer is empty.
void ask_product_id(BoardAnswers &board)
{
    for (;;) {
        print_product_list();
        char answer[24];
        if (prompt_input(board_product_id_prompt, answer, sizeof answer) == 0) {
            int32_t stored = 0;
            board.product_id = swServGetProductID(&stored) < 0 ? 0 : stored;
            return;
        }
        int32_t id = strtol32(answer, 10);
        if (find_product(id, 0).id != -1) {
            board.product_id = id;
            board.product_id_entered = true;
            return;
        }
    }
}

void ask_subassemblies(BoardAnswers &board)
{
    char answer[24];
    for (;;) {
        // An empty answer reads as 0: no subassemblies asked or written.
        prompt_input(board_subassembly_count_prompt, answer, sizeof answer);
        uint32_t count = static_cast<uint32_t>(strtol32(answer, 10));
        if (count <= max_subassemblies) {
            board.subassembly_count = count;
            break;
        }
    }
    for (uint32_t i = 0; i < board.subassembly_count; ++i) {
        ask_text(board_subassembly_id_format, board.subassemblies[i]);
        board.any_subassembly = board.any_subassembly || board.subassemblies[i][0] != '\0';
    }
}

void ask_asic_macs(BoardAnswers &board)
{
    uint32_t asked = std::min(board.asic_mac_count, uint32_t{max_asic_macs});
    for (uint32_t i = 0; i < asked; ++i) {
        char prompt[100];
        snprintf(prompt, sizeof prompt, board_asic_mac_format, static_cast<int>(i));
        board.asic_mac_entered[i] = ask_hex_value(prompt, board.asic_macs[i], 6);
        board.any_asic_mac = board.any_asic_mac || board.asic_mac_entered[i];
    }
}

int write_text(int (*write)(char *, int), char *text)
{
    return write(text, static_cast<int>(strlen(text) + 1));
}

// Writes in the fixed order; false after reporting the first failure.
bool write_board(BoardAnswers &board)
{
    int rc;
    if (board.product_id_entered) {
        if ((rc = swServSetProductID(&board.product_id)) < 0) {
            print_failed_call(rc, "Error writing Product ID");
            return false;
        }
        int32_t subtype = 0;
        swServSetProductIDsubtype(&subtype);
    }
    int32_t ports = port_count;
    if ((rc = swServSetPortCount(&ports)) < 0) {
        print_failed_call(rc, "Error writing port count");
        return false;
    }
    if (board.product_code[0] && (rc = write_text(swServSetProductCode, board.product_code)) < 0) {
        print_failed_call(rc, "Error writing product code");
        return false;
    }
    if (board.board_sn[0] && (rc = write_text(swServSetBoardSN, board.board_sn)) < 0) {
        print_failed_call(rc, "Error writing board SN");
        return false;
    }
    if (board.any_subassembly) {
        rc = swServSetSubAssyCount(&board.subassembly_count);
        for (uint32_t i = 0; rc >= 0 && i < board.subassembly_count; ++i)
            if (board.subassemblies[i][0])
                rc = swServSetSubAssy(static_cast<int>(i), board.subassemblies[i],
                                      static_cast<int>(strlen(board.subassemblies[i]) + 1));
        if (rc < 0) {
            print_failed_call(rc, "Error writing subassembly count");
            return false;
        }
    }
    for (uint32_t i = 0; board.any_asic_mac && i < max_asic_macs; ++i) {
        if (board.asic_mac_entered[i] &&
            (rc = swServSetAsicMAC(board.asic_macs[i], static_cast<int>(i))) < 0) {
            print_failed_call(rc, "Error writing ASIC MAC address");
            return false;
        }
    }
    return true;
}

}  // namespace

void setup_board_data()
{
    BoardAnswers board;
    ask_product_id(board);
    ask_text(board_product_code_format, board.product_code);
    ask_text(board_sn_format, board.board_sn);
    ask_subassemblies(board);

    int rc = swServGetNumAsicMACsByProductID(board.product_id, &board.asic_mac_count);
    if (rc < 0) {
        int err = errno;
        printf("Error retrieving number of ASIC MACs, rc = %d errno = %d productID=%d\n", rc, err,
               board.product_id);
        return;
    }
    ask_asic_macs(board);

    if (!write_board(board))
        return;
    swServFlush();
    printf("\nBoard Data updated\n");
}
