// Named, persistent stores of byte records. Every store of the process
// lives in one class-wide table that is loaded from rms.dat in the working
// directory on first use and written back whole after every change.
//
// A RecordStore object is only a handle on a table slot: each open returns
// a new one, closing it changes nothing, and it keeps addressing its slot
// after the store is deleted (a later store may reuse the slot). Record IDs
// run 1..getNumRecords(); they are never reused, and a deleted record reads
// back as an empty array.
//
// Record counts are unsigned throughout: a store holds up to 254 records
// (IDs 1..254), getNumRecords() answers 0..254, and adding a 255th record
// raises RecordStoreFullException.
//
// One lock guards the table, so the shell's event thread and the game's
// thread may both use stores.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "javax/microedition/rms/InvalidRecordIDException.h"
#include "javax/microedition/rms/RecordComparator.h"
#include "javax/microedition/rms/RecordEnumeration.h"
#include "javax/microedition/rms/RecordFilter.h"
#include "javax/microedition/rms/RecordListener.h"
#include "javax/microedition/rms/RecordStoreException.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "javax/microedition/rms/RecordStoreFullException.h"
#include "javax/microedition/rms/RecordStoreNotFoundException.h"
#include "javax/microedition/rms/RecordStoreNotOpenException.h"

namespace javax::microedition::rms {

class RecordStore {
public:
    static constexpr int AUTHMODE_PRIVATE = 0;
    static constexpr int AUTHMODE_ANY = 1;

    // Opening an existing store rewrites the file too. Raises
    // RecordStoreNotFoundException, RecordStoreFullException (128 stores),
    // or java::lang::IllegalArgumentException for a name that is not valid
    // text or is longer than 65535 bytes encoded.
    static std::shared_ptr<RecordStore> openRecordStore(const std::string& name, bool createIfNecessary);
    static void deleteRecordStore(const std::string& name);
    // Names of the live stores in store order.
    static std::vector<std::string> listRecordStores();

    // Array ranges outside data raise java::lang::ArrayIndexOutOfBoundsException;
    // IDs outside 1..getNumRecords() raise InvalidRecordIDException; a
    // handle whose store was deleted raises RecordStoreNotOpenException.
    int addRecord(const std::vector<std::uint8_t>& data, int offset, int numBytes);
    void setRecord(int id, const std::vector<std::uint8_t>& data, int offset, int numBytes);
    std::vector<std::uint8_t> getRecord(int id);
    int getRecordSize(int id);
    void deleteRecord(int id);
    int getNumRecords();
    std::string getName();
    void closeRecordStore();

    // Not implemented: they leave a trace line and answer null or 0.
    static std::shared_ptr<RecordStore> openRecordStore(const std::string& name, const std::string& vendorName,
                                                        const std::string& suiteName);
    static std::shared_ptr<RecordStore> openRecordStore(const std::string& name, bool createIfNecessary,
                                                        int authmode, bool writable);
    int getRecord(int id, std::vector<std::uint8_t>& buffer, int offset);
    int getNextRecordID();
    int getSize();
    int getSizeAvailable();
    int getVersion();
    std::int64_t getLastModified();
    std::shared_ptr<RecordEnumeration> enumerateRecords(const std::shared_ptr<RecordFilter>& filter,
                                                        const std::shared_ptr<RecordComparator>& comparator,
                                                        bool keepUpdated);
    void addRecordListener(const std::shared_ptr<RecordListener>& listener);
    void removeRecordListener(const std::shared_ptr<RecordListener>& listener);
    void setMode(int authmode, bool writable);

    // Back to unloaded, as in a fresh process; the next use loads rms.dat
    // from the working directory again (tests).
    static void resetClassState();

private:
    // The class-wide table. Slots hold the stores; emuStoreOrder lists the
    // live slots in store order at positions 0..emuNumRecordStores-1 and
    // the free ones after them.
    struct Table {
        int emuNumRecordStores = 0;
        std::array<std::optional<RecordStoreFile::Store>, RecordStoreFile::kMaxStores> emuStores;
        std::array<int, RecordStoreFile::kMaxStores> emuStoreOrder{};
        bool loaded = false;
        // rms.dat exists but did not load: it is moved aside before the
        // first save would overwrite it.
        bool keepUnloadedFile = false;
        Table();
    };
    static Table& table();

    explicit RecordStore(int slot) : slot_(slot) {}

    // The helpers below expect the table lock to be held.
    static void ensureLoaded();
    static void emuLoadRecordStores();
    static void emuSaveRecordStores();
    static int findStore(const std::string& name);
    RecordStoreFile::Store& openStore();
    RecordStoreFile::Record& record(RecordStoreFile::Store& store, int id);

    int slot_;
};

}  // namespace javax::microedition::rms
