// tarvokin-tool rms: inspects record-store files without loading them into
// the live table.
//   dump FILE   every store in order: name, count, each record in hex
//   check FILE  whether the file loads; exit status 0 if so, 1 if not
//   soak DIR    (for the crash test) saves stores in DIR until killed
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "ToolCommand.h"
#include "java/io/ModifiedUtf8.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/rms/RecordStore.h"
#include "javax/microedition/rms/RecordStoreFile.h"

namespace {

using javax::microedition::rms::RecordStore;
using javax::microedition::rms::RecordStoreFile;

// The name in quotes, everything outside printable ASCII as \uXXXX units.
std::string quoted(const std::string& name) {
    std::string out = "\"";
    char buf[8];
    for (char16_t u : java::io::ModifiedUtf8::toUtf16(name)) {
        if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\') {
            out += static_cast<char>(u);
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(u));
            out += buf;
        }
    }
    return out + "\"";
}

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// Loads and parses FILE; on failure prints why and returns false.
bool load(const std::string& path, std::vector<RecordStoreFile::Store>& stores, std::size_t& size) {
    RecordStoreFile::FileContents file = RecordStoreFile::emuReadWholeFile(path);
    if (file.status != RecordStoreFile::FileContents::Status::Read) {
        std::cout << path << ": does not load: cannot read: " << file.error << '\n';
        return false;
    }
    size = file.bytes.size();
    try {
        stores = RecordStoreFile::parse(file.bytes);
    } catch (const java::lang::Throwable& e) {
        std::cout << path << ": does not load: " << e.toString() << '\n';
        return false;
    }
    return true;
}

int dump(const std::string& path) {
    std::vector<RecordStoreFile::Store> stores;
    std::size_t size = 0;
    if (!load(path, stores, size)) return 1;
    std::cout << path << ": " << plural(stores.size(), "store") << ", " << plural(size, "byte") << '\n';
    char hex[4];
    for (std::size_t i = 0; i < stores.size(); ++i) {
        const auto& store = stores[i];
        std::cout << "store " << i << ' ' << quoted(store.name) << ", " << plural(store.records.size(), "record")
                  << '\n';
        for (std::size_t id = 1; id <= store.records.size(); ++id) {
            const auto& record = store.records[id - 1];
            std::cout << "  ID " << id << ", " << plural(record.size(), "byte");
            for (std::size_t k = 0; k < record.size(); ++k) {
                if (k % 16 == 0) std::cout << (k == 0 ? ":" : "") << "\n   ";
                std::snprintf(hex, sizeof hex, " %02x", record[k]);
                std::cout << hex;
            }
            std::cout << '\n';
        }
    }
    return 0;
}

int check(const std::string& path) {
    std::vector<RecordStoreFile::Store> stores;
    std::size_t size = 0;
    if (!load(path, stores, size)) return 1;
    std::size_t records = 0;
    for (const auto& s : stores) records += s.records.size();
    std::cout << path << ": loads: " << plural(stores.size(), "store") << ", " << plural(records, "record")
              << '\n';
    return 0;
}

// Changes stores forever through the real save path, so that a crash test
// can kill it at any moment. Record sizes vary so that saves differ in
// length.
[[noreturn]] void soak(const std::string& dir) {
    if (::chdir(dir.c_str()) != 0) {
        std::perror(dir.c_str());
        std::exit(1);
    }
    std::vector<std::uint8_t> data(3000);
    for (unsigned i = 0;; ++i) {
        auto store = RecordStore::openRecordStore("soak", true);
        for (std::size_t k = 0; k < data.size(); ++k) data[k] = static_cast<std::uint8_t>(i + k);
        const int length = static_cast<int>((i * 397u) % data.size());
        if (store->getNumRecords() < 40) {
            store->addRecord(data, 0, length);
        } else {
            store->setRecord(1 + static_cast<int>(i % 40), data, 0, length);
        }
        if (i % 7 == 0) {
            RecordStore::openRecordStore("extra", true)->addRecord(data, 0, 5);
            RecordStore::deleteRecordStore("extra");
        }
    }
}

int run(const tool::Args& args) {
    if (args.size() == 2 && args[0] == "dump") return dump(args[1]);
    if (args.size() == 2 && args[0] == "check") return check(args[1]);
    if (args.size() == 2 && args[0] == "soak") soak(args[1]);
    std::cerr << "usage: tarvokin-tool rms dump FILE | rms check FILE\n";
    return 2;
}

const bool registered = tool::registerCommand(
    {"rms", "  tarvokin-tool rms dump FILE    every store and record of a record-store file\n"
            "  tarvokin-tool rms check FILE   whether it loads (exit status 0) or not (1, with the reason)\n",
     &run});

}  // namespace
