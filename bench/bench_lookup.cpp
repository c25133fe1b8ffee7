// Looking numbers up in a long stamp log, one mode a process so that each has
// its own peak memory (run.py starts them in turn with `grep -c`, its floor):
//   bench_lookup make LOG MIB         writes a log of about MIB MiB, records
//                                     as the program writes them; prints how
//                                     many
//   bench_lookup find LOG RECORDS N   looks up N numbers spread over a log of
//                                     RECORDS records in one pass; prints how
//                                     many were found
//   bench_lookup number I             the I-th record's number
#include "stamp/FindStampRecords.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Numbers of the program's shape (time part and repeat counter in base 36),
// increasing with the record's place.
std::string numberOf(long long index)
{
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string number(8, '0');
    for (int i = 7; i >= 0 && index > 0; --i, index /= 36)
        number[size_t(i)] = kDigits[index % 36];
    return number;
}

int make(const char *path, long long mib)
{
    std::FILE *log = std::fopen(path, "wb");
    if (!log)
        return 1;
    const long long bytes = mib * 1024 * 1024;
    long long written = 0, records = 0;
    while (written < bytes) {
        char record[256];
        const int length = std::snprintf(record, sizeof record,
            "QVID:%s,2026/12/07 10:%02lld:%02lld \r\n    株式会社クヴァント,総務部,山田 太郎,%lld\r\n\r\n",
            numberOf(records).c_str(), records / 60 % 60, records % 60, records);
        if (std::fwrite(record, 1, size_t(length), log) != size_t(length))
            return 1;
        written += length;
        ++records;
    }
    std::printf("%lld\n", records);
    return std::fclose(log) == 0 ? 0 : 1;
}

int find(const char *path, long long records, long long count)
{
    QSet<QString> numbers;
    for (long long i = 0; i < count; ++i)
        numbers.insert(QString::fromStdString(numberOf((2 * i + 1) * records / (2 * count))));
    const stamp::FoundRecords found = stamp::FindStampRecords(QString::fromLocal8Bit(path), numbers);
    std::printf("%lld\n", static_cast<long long>(found.records.size()));
    return found.records.size() == numbers.size() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "make") == 0)
        return make(argv[2], std::atoll(argv[3]));
    if (argc == 5 && std::strcmp(argv[1], "find") == 0)
        return find(argv[2], std::atoll(argv[3]), std::atoll(argv[4]));
    if (argc == 3 && std::strcmp(argv[1], "number") == 0) {
        std::printf("%s\n", numberOf(std::atoll(argv[2])).c_str());
        return 0;
    }
    std::fputs("usage: bench_lookup make LOG MIB | find LOG RECORDS N | number I\n", stderr);
    return 2;
}
