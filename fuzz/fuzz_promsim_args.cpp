// promsim's whole command line, run in-process on a private emulated
// hardware folder that is put back to a prepared state before every input.
//
// Input: the first byte picks the system PROM's state (a store with
// records, erased, damaged); the rest is the words after "promsim", one a
// line, at most eight.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "byte_order.h"
#include "check.h"
#include "device.h"
#include "sim_folder.h"
#include "tlv_ids.h"
#include "tlv_store.h"

int promsim_main(int argc, char **argv);

namespace {

constexpr std::size_t kMaxWords = 8;
const char *const kWriters[] = {"reset", "set", "unset", "poke", "absent", "present"};

struct Prepared {
    promsim::Image system[3];
    promsim::Image blade = promsim::Image(promsim::kBladeVpdSize, 0xff);
    promsim::Image kestrel = promsim::Image(promsim::kKestrelPromSize, 0xff);
};

Prepared &prepared()
{
    static Prepared *p = [] {
        Prepared *made = new Prepared;
        promsim::Records records;
        promsim::Bytes id(4);
        promsim::put_be32(id.data(), 59);
        records[promsim::kTlvProductId] = id;
        records[promsim::kTlvMac0] = {0x00, 0x05, 0x1e, 0x01, 0x02, 0x03};
        records[promsim::kTlvWwn] = {0x10, 0x00, 0x00, 0x05, 0x1e, 0x01, 0x02, 0x03};
        records[promsim::kTlvProductCode] = {'P', 'C', '-', '1', '\n', 0x7f};
        records[promsim::kTlvAsicMac0 + 3] = {1, 2, 3};  // wrong length on purpose
        records[0x7777] = {0xde, 0xad};
        promsim::Image store(promsim::kSystemPromSize, 0xff);
        FUZZ_CHECK(promsim::build_store(records, store), "prepared store");
        made->system[0] = store;
        made->system[1] = promsim::Image(promsim::kSystemPromSize, 0xff);
        store[20] ^= 0x40;  // checksum mismatch
        made->system[2] = store;
        return made;
    }();
    return *p;
}

bool dirty = true;
unsigned last_state = ~0u;

void restore(unsigned state)
{
    if (!dirty && state == last_state)
        return;
    fuzzsim::put_file("system.prom", prepared().system[state]);
    fuzzsim::put_file("blade.prom", prepared().blade);
    fuzzsim::put_file("kestrel.prom", prepared().kestrel);
    fuzzsim::plug_all();
    dirty = false;
    last_state = state;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // save and load take a file name: relative ones land in the private
    // folder, and no other path is ever given (see below).
    FUZZ_CHECK(chdir(fuzzsim::make_folder("fuzz-promsim-").c_str()) == 0, "chdir");
    prepared();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    restore(data[0] % 3u);

    std::vector<std::string> words{"promsim"};
    std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    for (std::size_t start = 0; words.size() <= kMaxWords;) {
        std::size_t end = rest.find('\n', start);
        words.push_back(rest.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (size == 1)
        words.pop_back();  // no words at all
    // A file of save or load stays a plain name inside the private folder:
    // the fuzzer must never write over, or read, a file of the machine.
    if (words.size() > 3 && (words[1] == "save" || words[1] == "load") &&
        (words[3].empty() || words[3].find('/') != std::string::npos || words[3][0] == '.' ||
         words[3].size() > 32))
        words[3] = "saved.img";
    if (words.size() > 1)
        for (const char *writer : kWriters)
            dirty = dirty || words[1] == writer;

    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    int status = promsim_main(static_cast<int>(words.size()), argv.data());
    FUZZ_CHECK(status >= 0 && status <= 2, "exit status %d", status);
    return 0;
}
