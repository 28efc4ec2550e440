// SPDX-License-Identifier: GPL-3.0-or-later
// Reads what a sound server plays, as parec records it (signed 16-bit little-endian
// mono at the rate given), and reports when a sound begins: the first sample above the
// threshold after at least the given quiet time. Each block of samples is timed when
// it arrives; a loud sample's time counts back from there by the samples after it.
//
// Usage: parec ... | hear RATE THRESHOLD QUIET_MS
// Output lines: loud <epoch s> <peak of the next 50 ms>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double epochNow(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: hear RATE THRESHOLD QUIET_MS\n");
        return 2;
    }
    const double rate = atof(argv[1]);
    const int threshold = atoi(argv[2]);
    const long quietSamples = (long)(atof(argv[3]) * rate / 1000.0);

    short block[4096];
    long quiet = quietSamples; // the start of the recording counts as quiet
    int reporting = 0;         // samples left to measure the peak of a reported sound
    int peak = 0;
    double onset = 0;
    ssize_t got;
    while ((got = read(STDIN_FILENO, block, sizeof block)) > 0) {
        const double arrived = epochNow();
        const long samples = got / 2;
        for (long i = 0; i < samples; ++i) {
            const int level = block[i] < 0 ? -block[i] : block[i];
            if (reporting > 0) {
                if (level > peak)
                    peak = level;
                if (--reporting == 0) {
                    printf("loud %.6f %d\n", onset, peak);
                    fflush(stdout);
                }
            }
            if (level <= threshold) {
                ++quiet;
                continue;
            }
            if (quiet >= quietSamples && reporting == 0) {
                onset = arrived - (samples - i) / rate;
                reporting = (int)(rate / 20);
                peak = level;
            }
            quiet = 0;
        }
    }
    return 0;
}
