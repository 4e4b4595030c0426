// What is wrong with an identity file, line by line.
#ifndef PROMCFG_APPLY_PROBLEMS_H
#define PROMCFG_APPLY_PROBLEMS_H

#include <string>
#include <vector>

struct Problem {
    unsigned long line;
    int item;  // the item the line names, or -1 when the line names none
    std::string reason;
};

// Keeps the first `kept` problems and counts them all, so that a file of
// any size leaves a bounded list.
struct Problems {
    static constexpr std::size_t kept = 100;
    std::vector<Problem> list;
    unsigned long total = 0;

    void add(unsigned long line, int item, const std::string &reason)
    {
        ++total;
        if (list.size() < kept)
            list.push_back({line, item, reason});
    }
};

#endif
