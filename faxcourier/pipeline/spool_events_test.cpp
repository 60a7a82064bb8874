#include "faxcourier/pipeline/spool_events.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace korva;

namespace {

// An event as read(): the fixed part, then the name with its terminator.
std::vector<char> eventBytes(int wd, uint32_t mask, const char* name)
{
    const size_t length = name ? std::strlen(name) + 1 : 0;
    std::vector<char> bytes(sizeof(inotify_event) + length, 0);
    inotify_event head{};
    head.wd = wd;
    head.mask = mask;
    head.len = uint32_t(length);
    std::memcpy(bytes.data(), &head, sizeof head);
    if (name)
        std::memcpy(bytes.data() + sizeof head, name, length);
    return bytes;
}

TEST(SpoolEvents, EachEventCountsForWhatItMeans)
{
    const SpoolWatches watches{1, 2, "KORVAFax"};
    struct Row {
        const char* what;
        int wd;
        uint32_t mask;
        const char* name;
        SpoolChange meaning;
    };
    const std::vector<Row> rows = {
        {"a file in the folder", 1, IN_MOVED_TO, "korvafax.tif", SpoolChange::changes},
        {"the folder deleted", 1, IN_DELETE_SELF, nullptr, SpoolChange::folderGone},
        {"the folder removed, seen from its parent", 2, IN_DELETE | IN_ISDIR, "KORVAFax", SpoolChange::folderGone},
        {"a sibling of the folder", 2, IN_DELETE, "other", SpoolChange::nothing},
        {"the queue overflowed", -1, IN_Q_OVERFLOW, nullptr, SpoolChange::rescan},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<char> bytes = eventBytes(row.wd, row.mask, row.name);
        EXPECT_EQ(classifySpoolEvent(watches, *reinterpret_cast<const inotify_event*>(bytes.data())), row.meaning);
    }
}

}  // namespace
