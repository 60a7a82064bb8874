// bench/address_book: how fast the address book reads and lists a large
// directory. Prints the list search time against ldapsearch on the same
// korva-sim in the same run, their ratio (goal: within 1.5 x), and the
// longest tick of the list filling (goal: under 50 ms).
//
//   address_book_bench [entries] [rounds]     (defaults 100000, 3)

#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/directory_sim.h"

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace korva;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<testing::SeedEntry> seed(int count)
{
    std::vector<testing::SeedEntry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(100000 + i);
        entries.push_back({{"cn", "Person " + n},
                           {"o", "Company " + std::to_string(i % 997)},
                           {"fax", "0301 " + n},
                           {"mail", "p" + n + "@example.com"},
                           {"_deletable", "1"}});
    }
    return entries;
}

// ldapsearch with the list search's filter, scope and attributes, its
// output thrown away; the exit status.
int ldapsearch(int port)
{
    std::string uri = "ldap://127.0.0.1:" + std::to_string(port);
    std::vector<std::string> args = {"ldapsearch",
                                     "-x",
                                     "-LLL",
                                     "-H",
                                     uri,
                                     "-D",
                                     testing::kSimUser,
                                     "-w",
                                     testing::kSimPassword,
                                     "-b",
                                     testing::kSimUser,
                                     "-s",
                                     "one",
                                     "(objectClass=*)",
                                     "o",
                                     "cn",
                                     "fax",
                                     "_deletable"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, "ldapsearch", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t tableSize()
{
    std::lock_guard lock(addressBookLock);
    return addressEntries.size();
}

struct TickFigures {
    int ticks = 0;
    double longestMs = 0;
    double totalMs = 0;
};

// Opens the address book on the filled table and runs its ticks until every
// entry was examined.
TickFigures fillList()
{
    QTreeWidget recipients;
    addressbook::FaxAddressBookDialog book(nullptr, &recipients);
    waitForDirectorySearches(600000);  // the search that opening started
    TickFigures figures;
    for (;;) {
        Clock::time_point start = Clock::now();
        book.tick();
        double ms = msSince(start);
        ++figures.ticks;
        figures.longestMs = std::max(figures.longestMs, ms);
        figures.totalMs += ms;
        std::lock_guard lock(addressBookLock);
        if (addressbook::listedCount == addressEntries.size() && book.lastTickRows() == 0)
            break;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    setenv("KORVA_BIN_DIR", KORVA_DEFAULT_BIN_DIR, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    char folderTemplate[] = "/tmp/address_book_bench.XXXXXX";
    std::string folder = mkdtemp(folderTemplate);
    testing::DirectorySim sim(folder, seed(entries));
    sim.useInSettings();
    LdapLogon logon = sim.logon();
    std::printf("korva-sim directory of %d entries on 127.0.0.1:%d\n", entries, sim.ldapPort());

    // One of each first, so that neither pays for warming the server up.
    if (ldapsearch(sim.ldapPort()) != 0) {
        std::fprintf(stderr, "ldapsearch failed\n");
        return 1;
    }
    runDirectorySearch(logon);

    std::vector<double> ours, peer;
    for (int r = 0; r < rounds; ++r) {
        Clock::time_point start = Clock::now();
        runDirectorySearch(logon);
        ours.push_back(msSince(start));
        start = Clock::now();
        ldapsearch(sim.ldapPort());
        peer.push_back(msSince(start));
    }
    if (tableSize() != size_t(entries)) {
        std::fprintf(stderr, "the list search delivered %zu entries, not %d\n", tableSize(), entries);
        return 1;
    }
    std::sort(ours.begin(), ours.end());
    std::sort(peer.begin(), peer.end());
    double oursMs = ours[ours.size() / 2], peerMs = peer[peer.size() / 2];
    std::printf("the list search into addressEntries:        %8.1f ms (median of %d)\n", oursMs, rounds);
    std::printf("ldapsearch, same attributes and server:    %8.1f ms (median of %d)\n", peerMs, rounds);
    std::printf("ratio: %.2f x (goal: 1.5 x or less)\n", oursMs / peerMs);
    // One line in the form bench/run collects into its table.
    std::printf("result: address_book search | %.1f ms | ldapsearch | %.1f ms | %.2f | at most 1.5\n", oursMs, peerMs,
                oursMs / peerMs);

    QApplication application(argc, argv);
    TickFigures ticks = fillList();
    std::printf("list filling: %d ticks, %.1f ms in all, longest tick %.1f ms (goal: under 50 ms)\n", ticks.ticks,
                ticks.totalMs, ticks.longestMs);
    std::printf("result: address_book tick | %.1f ms longest | - | - | - | under 50 ms\n", ticks.longestMs);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
