#pragma once

// The summary line of one figure, which bench/run-all gathers from every benchmark program: what was measured,
// ours beside the baseline of the same run where there is one, the aim it is held to, and whether it is met.
// Missing an aim is reported, never failed on: the figures depend on the machine.

#include <cstdio>
#include <string>

namespace Figures {

// "figure <what>: <ours> <unit>, baseline <b> <unit>, ratio <r>, aim <aim> [met|MISSED]"
inline void print(const std::string &what, double ours, double baseline, const char *unit, const std::string &aim,
                  bool met)
{
    if (baseline > 0) {
        std::printf("figure %s: %.1f %s, baseline %.1f %s, ratio %.2f, aim %s [%s]\n", what.c_str(), ours, unit,
                    baseline, unit, ours / baseline, aim.c_str(), met ? "met" : "MISSED");
    } else {
        std::printf("figure %s: %.1f %s, aim %s [%s]\n", what.c_str(), ours, unit, aim.c_str(), met ? "met" : "MISSED");
    }
    std::fflush(stdout);
}

// A figure held to a ratio against its baseline.
inline void printRatio(const std::string &what, double ours, double baseline, const char *unit, double limit)
{
    char aim[64];
    std::snprintf(aim, sizeof aim, "ratio at most %.1f", limit);
    print(what, ours, baseline, unit, aim, baseline > 0 && ours / baseline <= limit);
}

} // namespace Figures
