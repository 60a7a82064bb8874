#include "faxcourier/foundation/resource_strings.h"

#include <mutex>
#include <cstring>
#include <utility>

namespace korva {
namespace {

const ResourceString compiledTable[] = {
    {IDS_CAPTION_FAX, "KORVA Fax"},
    {IDS_CAPTION_PRINTER, "KORVA Fax Printer"},
    {IDS_CAPTION_PRINTER_DRIVER, "KORVA Fax Printer Driver"},
    {IDS_CAPTION_PRINTER_HELPER, "KORVA Fax Printer Helper"},
};

struct Table {
    const ResourceString* entries;
    size_t count;
};

std::mutex tableMutex;
Table current{compiledTable, std::size(compiledTable)};

Table currentTable()
{
    std::lock_guard lock(tableMutex);
    return current;
}

}  // namespace

int LoadResourceText(unsigned id, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    buffer[0] = '\0';
    Table table = currentTable();
    for (size_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id != id)
            continue;
        size_t length = std::strlen(table.entries[i].text);
        size_t copied = length < size_t(bufferSize - 1) ? length : size_t(bufferSize - 1);
        std::memcpy(buffer, table.entries[i].text, copied);
        buffer[copied] = '\0';
        return int(copied);
    }
    return 0;
}

std::span<const ResourceString> setResourceStringTable(std::span<const ResourceString> table)
{
    Table next = table.empty() ? Table{compiledTable, std::size(compiledTable)} : Table{table.data(), table.size()};
    std::lock_guard lock(tableMutex);
    Table previous = std::exchange(current, next);
    return {previous.entries, previous.count};
}

}  // namespace korva
