#include "javax/microedition/rms/RecordStore.h"

#include <mutex>
#include <numeric>
#include <utility>

#include "TarvokinEmu/Trace.h"
#include "java/io/ModifiedUtf8.h"
#include "java/lang/Exceptions.h"
#include "platform/Console.h"

namespace javax::microedition::rms {

namespace {

using Store = RecordStoreFile::Store;

std::mutex& tableLock() {
    static std::mutex m;
    return m;
}

void checkRange(const std::vector<std::uint8_t>& data, int offset, int numBytes) {
    if (offset < 0 || numBytes < 0 || static_cast<std::size_t>(offset) > data.size() ||
        static_cast<std::size_t>(numBytes) > data.size() - static_cast<std::size_t>(offset)) {
        throw java::lang::ArrayIndexOutOfBoundsException("offset " + std::to_string(offset) + ", length " +
                                                         std::to_string(numBytes) + ", array length " +
                                                         std::to_string(data.size()));
    }
}

RecordStoreFile::Record copyRange(const std::vector<std::uint8_t>& data, int offset, int numBytes) {
    checkRange(data, offset, numBytes);
    return {data.begin() + offset, data.begin() + offset + numBytes};
}

void checkName(const std::string& name) {
    const std::size_t length = java::io::ModifiedUtf8::encodedLength(name);
    if (length > 0xFFFF) {
        throw java::lang::IllegalArgumentException("record store name of " + std::to_string(length) +
                                                   " bytes, at most 65535");
    }
}

}  // namespace

RecordStore::Table::Table() { std::iota(emuStoreOrder.begin(), emuStoreOrder.end(), 0); }

RecordStore::Table& RecordStore::table() {
    static Table t;
    return t;
}

void RecordStore::resetClassState() {
    std::lock_guard lock(tableLock());
    table() = Table();
}

void RecordStore::ensureLoaded() {
    if (table().loaded) return;
    TarvokinEmu::traceFirstUse("javax.microedition.rms.RecordStore");
    emuLoadRecordStores();
}

void RecordStore::emuLoadRecordStores() {
    Table& t = table();
    t = Table();
    t.loaded = true;
    RecordStoreFile::FileContents file = RecordStoreFile::emuReadWholeFile(RecordStoreFile::kFileName);
    if (file.status == RecordStoreFile::FileContents::Status::Missing) return;
    if (file.status == RecordStoreFile::FileContents::Status::Unreadable) {
        t.keepUnloadedFile = true;
        return;
    }
    std::vector<Store> stores;
    try {
        stores = RecordStoreFile::parse(file.bytes);
    } catch (const std::exception& e) {
        platform::Console::println("error leyendo RMS");
        java::lang::printStackTrace(e, platform::Console::out());
        t.keepUnloadedFile = true;
        return;
    }
    for (std::size_t i = 0; i < stores.size(); ++i) t.emuStores[i] = std::move(stores[i]);
    t.emuNumRecordStores = static_cast<int>(stores.size());
}

void RecordStore::emuSaveRecordStores() {
    Table& t = table();
    try {
        std::vector<const Store*> order;
        for (int p = 0; p < t.emuNumRecordStores; ++p) order.push_back(&*t.emuStores[t.emuStoreOrder[p]]);
        const std::vector<std::uint8_t> image = RecordStoreFile::serialize(order);
        if (t.keepUnloadedFile) {
            if (RecordStoreFile::moveAside(RecordStoreFile::kFileName)) {
                platform::Console::println(std::string("RMS: ") + RecordStoreFile::kFileName +
                                           " did not load; kept it as " + RecordStoreFile::kFileName + ".bad");
            }
            t.keepUnloadedFile = false;
        }
        RecordStoreFile::writeAtomically(RecordStoreFile::kFileName, image);
    } catch (const std::exception& e) {
        platform::Console::println("Error saving RMS");
        java::lang::printStackTrace(e, platform::Console::out());
    }
}

int RecordStore::findStore(const std::string& name) {
    const Table& t = table();
    for (int p = 0; p < t.emuNumRecordStores; ++p) {
        if (t.emuStores[t.emuStoreOrder[p]]->name == name) return p;
    }
    return -1;
}

RecordStoreFile::Store& RecordStore::openStore() {
    auto& slot = table().emuStores[slot_];
    if (!slot) throw RecordStoreNotOpenException("the store of this handle was deleted");
    return *slot;
}

RecordStoreFile::Record& RecordStore::record(Store& store, int id) {
    if (id < 1 || static_cast<std::size_t>(id) > store.records.size()) {
        throw InvalidRecordIDException("record ID " + std::to_string(id) + " of store \"" + store.name +
                                       "\" with IDs 1.." + std::to_string(store.records.size()));
    }
    return store.records[id - 1];
}

std::shared_ptr<RecordStore> RecordStore::openRecordStore(const std::string& name, bool createIfNecessary) {
    std::lock_guard lock(tableLock());
    ensureLoaded();
    TarvokinEmu::trace("openRecordStore(" + name + ", " + (createIfNecessary ? "true" : "false") + ")");
    Table& t = table();
    int slot;
    if (int p = findStore(name); p >= 0) {
        slot = t.emuStoreOrder[p];
    } else {
        if (!createIfNecessary) throw RecordStoreNotFoundException();
        if (t.emuNumRecordStores >= RecordStoreFile::kMaxStores) throw RecordStoreFullException();
        // A name the file cannot hold would make every later save fail.
        checkName(name);
        slot = t.emuStoreOrder[t.emuNumRecordStores];
        ++t.emuNumRecordStores;
        t.emuStores[slot] = Store{name, {}};
    }
    emuSaveRecordStores();
    return std::shared_ptr<RecordStore>(new RecordStore(slot));
}

void RecordStore::deleteRecordStore(const std::string& name) {
    std::lock_guard lock(tableLock());
    ensureLoaded();
    TarvokinEmu::trace("deleteRecordStore(" + name + ")");
    Table& t = table();
    const int p = findStore(name);
    if (p < 0) throw RecordStoreNotFoundException();
    t.emuStores[t.emuStoreOrder[p]].reset();
    --t.emuNumRecordStores;
    // The last store takes the deleted one's place; the freed slot is the
    // first free position, so the next new store reuses it.
    std::swap(t.emuStoreOrder[p], t.emuStoreOrder[t.emuNumRecordStores]);
    emuSaveRecordStores();
}

std::vector<std::string> RecordStore::listRecordStores() {
    std::lock_guard lock(tableLock());
    ensureLoaded();
    TarvokinEmu::trace("listRecordStores()");
    const Table& t = table();
    std::vector<std::string> names;
    for (int p = 0; p < t.emuNumRecordStores; ++p) names.push_back(t.emuStores[t.emuStoreOrder[p]]->name);
    return names;
}

int RecordStore::addRecord(const std::vector<std::uint8_t>& data, int offset, int numBytes) {
    TarvokinEmu::trace("addRecord(byte[], int, int)");
    RecordStoreFile::Record copy = copyRange(data, offset, numBytes);
    std::lock_guard lock(tableLock());
    Store& store = openStore();
    if (store.records.size() >= static_cast<std::size_t>(RecordStoreFile::kMaxRecords)) {
        throw RecordStoreFullException();
    }
    store.records.push_back(std::move(copy));
    emuSaveRecordStores();
    return static_cast<int>(store.records.size());
}

void RecordStore::setRecord(int id, const std::vector<std::uint8_t>& data, int offset, int numBytes) {
    TarvokinEmu::trace("setRecord(int, byte[], int, int)");
    RecordStoreFile::Record copy = copyRange(data, offset, numBytes);
    std::lock_guard lock(tableLock());
    record(openStore(), id) = std::move(copy);
    emuSaveRecordStores();
}

std::vector<std::uint8_t> RecordStore::getRecord(int id) {
    TarvokinEmu::trace("getRecord(int)");
    std::lock_guard lock(tableLock());
    return record(openStore(), id);
}

int RecordStore::getRecordSize(int id) {
    TarvokinEmu::trace("getRecordSize(int)");
    std::lock_guard lock(tableLock());
    return static_cast<int>(record(openStore(), id).size());
}

void RecordStore::deleteRecord(int id) {
    TarvokinEmu::trace("deleteRecord(int)");
    std::lock_guard lock(tableLock());
    record(openStore(), id).clear();
    emuSaveRecordStores();
}

int RecordStore::getNumRecords() {
    int count;
    {
        std::lock_guard lock(tableLock());
        count = static_cast<int>(openStore().records.size());
    }
    TarvokinEmu::trace("getNumRecords(): " + std::to_string(count));
    return count;
}

std::string RecordStore::getName() {
    TarvokinEmu::trace("getName()");
    std::lock_guard lock(tableLock());
    return openStore().name;
}

void RecordStore::closeRecordStore() { TarvokinEmu::trace("closeRecordStore()"); }

std::shared_ptr<RecordStore> RecordStore::openRecordStore(const std::string& name, const std::string&,
                                                          const std::string&) {
    {
        std::lock_guard lock(tableLock());
        ensureLoaded();
    }
    TarvokinEmu::trace("openRecordStore(" + name + ", String, String) to be implemented!!!");
    return nullptr;
}

std::shared_ptr<RecordStore> RecordStore::openRecordStore(const std::string& name, bool, int, bool) {
    {
        std::lock_guard lock(tableLock());
        ensureLoaded();
    }
    TarvokinEmu::trace("openRecordStore(" + name + ",flag, int, int) to be implemented!!!");
    return nullptr;
}

int RecordStore::getRecord(int, std::vector<std::uint8_t>&, int) {
    TarvokinEmu::trace("getRecord(int, byte[], int) to be implemented!!!");
    return 0;
}

int RecordStore::getNextRecordID() {
    TarvokinEmu::trace("getNextRecordID() to be implemented!!!");
    return 0;
}

int RecordStore::getSize() {
    TarvokinEmu::trace("getSize() to be implemented!!!");
    return 0;
}

int RecordStore::getSizeAvailable() {
    TarvokinEmu::trace("getSizeAvailable() to be implemented!!!");
    return 0;
}

int RecordStore::getVersion() {
    TarvokinEmu::trace("getVersion() to be implemented!!!");
    return 0;
}

std::int64_t RecordStore::getLastModified() {
    TarvokinEmu::trace("getLastModified() to be implemented!!!");
    return 0;
}

std::shared_ptr<RecordEnumeration> RecordStore::enumerateRecords(const std::shared_ptr<RecordFilter>&,
                                                                 const std::shared_ptr<RecordComparator>&, bool) {
    TarvokinEmu::trace("enumerateRecords() to be implemented!!!");
    return nullptr;
}

void RecordStore::addRecordListener(const std::shared_ptr<RecordListener>&) {
    TarvokinEmu::trace("addRecordListener() to be implemented!!!");
}

void RecordStore::removeRecordListener(const std::shared_ptr<RecordListener>&) {
    TarvokinEmu::trace("removeRecordListener() to be implemented!!!");
}

void RecordStore::setMode(int, bool) { TarvokinEmu::trace("setMode(int, boolean) to be implemented!!!"); }

}  // namespace javax::microedition::rms
