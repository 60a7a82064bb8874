// bench/registry_store: what faxcourier's start-up pays for a large
// HKEY_CLASSES_ROOT.reg. Writes a 40000-key hive as an export of a desktop's
// file types would be, then times loading it and a few hundred value reads
// and sub-key listings through RegistryKey, against reading the same file
// line by line with std::getline in the same run. Goal: under 1 s.
//
//   registry_store_bench [keys] [rounds]     (defaults 40000, 5)

#include "platform/registry_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace korva;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKeysPerType = 4;  // .extN, TypeN, TypeN\DefaultIcon, TypeN\shell\open\command
constexpr int kReads = 300;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void writeHive(const std::string& path, int types)
{
    std::ofstream out(path, std::ios::binary);
    out << "Windows Registry Editor Version 5.00\r\n";
    for (int i = 0; i < types; ++i) {
        std::string n = std::to_string(i);
        out << "\r\n[HKEY_CLASSES_ROOT\\.ext" << n << "]\r\n@=\"Type" << n << "\"\r\n\"Content Type\"=\"application/x-"
            << n << "\"\r\n";
        out << "\r\n[HKEY_CLASSES_ROOT\\Type" << n << "]\r\n@=\"Document type " << n
            << "\"\r\n\"EditFlags\"=dword:00010000\r\n";
        out << "\r\n[HKEY_CLASSES_ROOT\\Type" << n << "\\DefaultIcon]\r\n@=\"/usr/share/icons/type" << n
            << ".png\"\r\n";
        out << "\r\n[HKEY_CLASSES_ROOT\\Type" << n << "\\shell\\open\\command]\r\n@=\"xdg-open \\\"%1\\\"\"\r\n";
    }
}

// An installed export is old; a file written moments ago is also compared
// by content until its time stamp settles, which is not what start-up sees.
// Each round moves the time so the store reads the file afresh.
void ageFile(const std::string& path, int round)
{
    timespec times[2] = {{time(nullptr) - 3600 + round, 0}, {time(nullptr) - 3600 + round, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Like faxcourier's start-up: look up file types, their commands and verbs.
int startUpReads(int types)
{
    int found = 0;
    for (int r = 0; r < kReads; ++r) {
        int type = int((r * 7919L) % types);
        std::string n = std::to_string(type);
        RegistryKey ext;
        if (ext.open(RegistryHive::ClassesRoot, ".ext" + n) == kRegOk && ext.readString(nullptr))
            ++found;
        if (r % 3 == 0) {
            RegistryKey shell;
            std::string verb;
            if (shell.open(RegistryHive::ClassesRoot, "Type" + n + "\\shell") == kRegOk &&
                shell.enumSubKey(0, verb) == kRegOk && shell.enumSubKey(1, verb) == kRegNoMoreItems)
                ++found;
        }
    }
    return found;
}

size_t plainRead(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t lines = 0;
    while (std::getline(in, line))
        lines += !line.empty();
    return lines;
}

}  // namespace

int main(int argc, char** argv)
{
    int keys = argc > 1 ? std::atoi(argv[1]) : 40000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    int types = std::max(1, keys / kKeysPerType);

    char pattern[] = "/tmp/registry-store-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::string folder = pattern;
    setenv("KORVAFAX_SYSCONFDIR", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    std::string path = registryHivePath(RegistryHive::ClassesRoot);
    writeHive(path, types);

    std::vector<double> ours, peer;
    int expected = kReads + (kReads + 2) / 3;
    for (int round = 0; round < rounds; ++round) {
        ageFile(path, round);
        Clock::time_point start = Clock::now();
        int found = startUpReads(types);
        ours.push_back(msSince(start));
        if (found != expected) {
            std::fprintf(stderr, "registry_store_bench: %d of %d reads found their key\n", found, expected);
            return 1;
        }
        start = Clock::now();
        size_t lines = plainRead(path);
        peer.push_back(msSince(start));
        if (lines == 0)
            return 1;
    }
    std::printf("  %d keys, %lld bytes; %d value reads and %d sub-key listings per round; median of %d rounds\n",
                types * kKeysPerType, static_cast<long long>(std::filesystem::file_size(path)), kReads,
                (kReads + 2) / 3, rounds);
    std::printf("result: registry_store start-up | %.1f ms | getline over the file | %.1f ms | %.2f | under 1 s\n",
                median(ours), median(peer), median(ours) / median(peer));
    std::filesystem::remove_all(folder);
    return 0;
}
