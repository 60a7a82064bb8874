// A second process for the control-area tests.
//   write N TAG   writes N records whose every field is filled with TAG
//   read N        reads N records and exits 3 if one mixes two writers
//                 (4 when a read or write fails)
//   hold          takes the mutex, prints "held" and waits to be killed
#include "controlarea/control_area.h"
#include "platform/process_mutex.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace korva;

namespace {

void fillWith(ControlRecord& record, char tag)
{
    std::memset(&record, tag, sizeof record);
    record.subject[299] = '\0';
}

bool isWhole(const ControlRecord& record)
{
    auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    unsigned char first = bytes[0];
    if (first == 0)  // nothing written yet
        return true;
    for (size_t i = 0; i < sizeof record; ++i) {
        if (i == offsetof(ControlRecord, subject) + 299)
            continue;
        if (bytes[i] != first)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !openControlArea())
        return 2;
    std::string mode = argv[1];
    if (mode == "write" && argc == 4) {
        ControlRecord record;
        fillWith(record, argv[3][0]);
        for (int i = 0, n = std::atoi(argv[2]); i < n; ++i)
            if (!writeControlRecord(record))
                return 4;
        return 0;
    }
    if (mode == "read" && argc == 3) {
        ControlRecord record;
        for (int i = 0, n = std::atoi(argv[2]); i < n; ++i) {
            if (!readControlRecord(record))
                return 4;
            if (!isWhole(record))
                return 3;
        }
        return 0;
    }
    if (mode == "hold") {
        ProcessMutex mutex;
        if (!mutex.open(controlLockFilePath()) || !mutex.lock())
            return 2;
        std::puts("held");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    return 2;
}
