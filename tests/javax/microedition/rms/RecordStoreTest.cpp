#include "javax/microedition/rms/RecordStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sstream>
#include <thread>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/rms/RmsTestSupport.h"
#include "platform/Console.h"

namespace {

using javax::microedition::rms::InvalidRecordIDException;
using javax::microedition::rms::RecordStore;
using javax::microedition::rms::RecordStoreFile;
using javax::microedition::rms::RecordStoreFullException;
using javax::microedition::rms::RecordStoreNotFoundException;
using javax::microedition::rms::RecordStoreNotOpenException;
using rms_test::Bytes;
using rms_test::FileBuilder;
using rms_test::readFile;
using rms_test::writeFile;
using Names = std::vector<std::string>;

// Each test runs in a fresh working directory against an unloaded table,
// with standard output captured.
class RecordStoreTest : public ::testing::Test {
protected:
    RecordStoreTest() {
        RecordStore::resetClassState();
        platform::Console::redirect(&out_, nullptr);
    }
    ~RecordStoreTest() override {
        platform::Console::redirect(nullptr, nullptr);
        RecordStore::resetClassState();
        TarvokinEmu::Emulator::resetClassState();
    }
    // As if the process started again.
    static void restart() { RecordStore::resetClassState(); }
    std::string output() const { return out_.str(); }
    static std::vector<RecordStoreFile::Store> fileStores() { return RecordStoreFile::parse(readFile("rms.dat")); }

    rms_test::TempWorkingDir dir_;
    std::ostringstream out_;
};

TEST_F(RecordStoreTest, StoresSurviveARestartByteExact) {
    RecordStore::openRecordStore("emu_settings", true)->addRecord({1}, 0, 1);
    auto g = RecordStore::openRecordStore("g", true);
    EXPECT_EQ(g->addRecord({0, 0xAA, 0xBB, 0xCC, 0}, 1, 3), 1);
    EXPECT_EQ(g->addRecord({7, 7}, 0, 2), 2);
    g->deleteRecord(2);
    const Bytes expected = FileBuilder()
                               .header(2)
                               .ascii("emu_settings").u8(1).record({1})
                               .ascii("g").u8(2).record({0xAA, 0xBB, 0xCC}).record({})
                               .trailer()
                               .bytes();
    EXPECT_EQ(readFile("rms.dat"), expected);

    restart();
    EXPECT_EQ(RecordStore::listRecordStores(), (Names{"emu_settings", "g"}));
    auto again = RecordStore::openRecordStore("g", false);
    EXPECT_EQ(again->getNumRecords(), 2);
    EXPECT_EQ(again->getRecord(1), (Bytes{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(again->getRecord(2), Bytes{});
    EXPECT_EQ(again->getRecordSize(2), 0);
    EXPECT_EQ(readFile("rms.dat"), expected);  // opening rewrote the same bytes
    EXPECT_EQ(output(), "");
}

TEST_F(RecordStoreTest, OpeningAnExistingStoreRewritesTheFile) {
    RecordStore::openRecordStore("s", true);
    std::filesystem::remove("rms.dat");
    RecordStore::openRecordStore("s", false);
    EXPECT_EQ(fileStores().size(), 1u);
}

TEST_F(RecordStoreTest, DeletedSlotIsReusedAndOrderSwaps) {
    auto a = RecordStore::openRecordStore("A", true);
    a->addRecord({1}, 0, 1);
    RecordStore::openRecordStore("B", true);
    RecordStore::openRecordStore("C", true);
    RecordStore::deleteRecordStore("A");
    EXPECT_EQ(RecordStore::listRecordStores(), (Names{"C", "B"}));
    EXPECT_THROW(a->getName(), RecordStoreNotOpenException);
    EXPECT_THROW(a->addRecord({1}, 0, 1), RecordStoreNotOpenException);

    auto d = RecordStore::openRecordStore("D", true);
    EXPECT_EQ(RecordStore::listRecordStores(), (Names{"C", "B", "D"}));
    // The old handle addresses its slot, now D's, which starts empty.
    EXPECT_EQ(a->getName(), "D");
    EXPECT_EQ(a->getNumRecords(), 0);
    a->closeRecordStore();
    EXPECT_EQ(d->addRecord({5}, 0, 1), 1);
    EXPECT_EQ(fileStores().at(2).name, "D");
    EXPECT_EQ(fileStores().at(2).records.size(), 1u);
}

TEST_F(RecordStoreTest, MissingStores) {
    EXPECT_EQ(RecordStore::listRecordStores(), Names{});
    EXPECT_THROW(RecordStore::deleteRecordStore("g"), RecordStoreNotFoundException);
    EXPECT_THROW(RecordStore::openRecordStore("g", false), RecordStoreNotFoundException);
    RecordStore::openRecordStore("G", true);
    EXPECT_THROW(RecordStore::openRecordStore("g", false), RecordStoreNotFoundException);
    RecordStore::deleteRecordStore("G");
    EXPECT_THROW(RecordStore::deleteRecordStore("G"), RecordStoreNotFoundException);
    EXPECT_EQ(RecordStore::listRecordStores(), Names{});
    EXPECT_FALSE(std::filesystem::exists("rms.dat.bad"));
}

TEST_F(RecordStoreTest, IdsAreNeverReusedAndRecordsAreCopies) {
    auto s = RecordStore::openRecordStore("s", true);
    Bytes data{1, 2, 3};
    EXPECT_EQ(s->addRecord(data, 0, 3), 1);
    EXPECT_EQ(s->addRecord(data, 1, 2), 2);
    EXPECT_EQ(s->addRecord(data, 3, 0), 3);
    s->deleteRecord(2);
    EXPECT_EQ(s->getNumRecords(), 3);
    EXPECT_EQ(s->addRecord(data, 0, 1), 4);

    data[0] = 99;
    Bytes got = s->getRecord(1);
    EXPECT_EQ(got, (Bytes{1, 2, 3}));
    got[0] = 42;
    EXPECT_EQ(s->getRecord(1), (Bytes{1, 2, 3}));
    s->setRecord(2, data, 0, 2);
    EXPECT_EQ(s->getRecord(2), (Bytes{99, 2}));
    EXPECT_EQ(s->getNumRecords(), 4);
}

TEST_F(RecordStoreTest, InvalidIdsAndRangesChangeNothing) {
    auto s = RecordStore::openRecordStore("s", true);
    s->addRecord({1, 2}, 0, 2);
    s->addRecord({3}, 0, 1);
    const Bytes before = readFile("rms.dat");
    for (int id : {0, -1, 3, 254, 255, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(id);
        EXPECT_THROW(s->getRecord(id), InvalidRecordIDException);
        EXPECT_THROW(s->getRecordSize(id), InvalidRecordIDException);
        EXPECT_THROW(s->setRecord(id, {1}, 0, 1), InvalidRecordIDException);
        EXPECT_THROW(s->deleteRecord(id), InvalidRecordIDException);
    }
    const Bytes four{1, 2, 3, 4};
    const std::pair<int, int> ranges[] = {{-1, 1}, {0, -1}, {0, 5}, {3, 2}, {5, 0}, {INT_MAX, 1}, {1, INT_MAX}};
    for (auto [offset, length] : ranges) {
        SCOPED_TRACE(std::to_string(offset) + "," + std::to_string(length));
        EXPECT_THROW(s->addRecord(four, offset, length), java::lang::ArrayIndexOutOfBoundsException);
        EXPECT_THROW(s->setRecord(1, four, offset, length), java::lang::ArrayIndexOutOfBoundsException);
    }
    EXPECT_EQ(s->getNumRecords(), 2);
    EXPECT_EQ(s->getRecord(1), (Bytes{1, 2}));
    EXPECT_EQ(readFile("rms.dat"), before);
}

TEST_F(RecordStoreTest, FullTableAndFullStoreRaiseInsteadOfCorrupting) {
    // 127 stores, the last one a record short of full.
    FileBuilder b;
    b.header(127);
    for (int i = 0; i < 126; ++i) b.ascii("s" + std::to_string(i)).u8(0);
    b.ascii("s126").u8(253);
    for (int id = 1; id <= 253; ++id) b.record({static_cast<std::uint8_t>(id)});
    writeFile("rms.dat", b.trailer().bytes());

    RecordStore::openRecordStore("s127", true);
    EXPECT_THROW(RecordStore::openRecordStore("one too many", true), RecordStoreFullException);
    auto last = RecordStore::openRecordStore("s126", false);  // existing ones still open
    EXPECT_EQ(last->addRecord({254}, 0, 1), 254);
    EXPECT_THROW(last->addRecord({0}, 0, 1), RecordStoreFullException);
    EXPECT_EQ(last->getNumRecords(), 254);

    const Bytes saved = readFile("rms.dat");
    restart();
    auto reloaded = RecordStore::openRecordStore("s126", false);
    EXPECT_EQ(RecordStore::listRecordStores().size(), 128u);
    EXPECT_EQ(reloaded->getNumRecords(), 254);
    EXPECT_EQ(reloaded->getRecord(200), Bytes{200});
    EXPECT_EQ(reloaded->getRecord(254), Bytes{254});
    EXPECT_EQ(readFile("rms.dat"), saved);
    EXPECT_EQ(output(), "");
}

TEST_F(RecordStoreTest, NamesTheFileCannotHoldAreRefused) {
    EXPECT_THROW(RecordStore::openRecordStore(std::string(65536, 'n'), true), java::lang::IllegalArgumentException);
    EXPECT_THROW(RecordStore::openRecordStore("bad \xC3", true), java::lang::IllegalArgumentException);
    auto odd = RecordStore::openRecordStore(std::string("\0\xF0\x9F\x98\x80", 5), true);
    EXPECT_EQ(RecordStore::listRecordStores(), Names{std::string("\0\xF0\x9F\x98\x80", 5)});
    restart();
    EXPECT_EQ(RecordStore::listRecordStores(), Names{std::string("\0\xF0\x9F\x98\x80", 5)});
}

TEST_F(RecordStoreTest, UnloadableFileIsKeptAsBad) {
    // A file cut inside its second record, and an older .bad to replace.
    const Bytes whole =
        FileBuilder().header(1).ascii("g").u8(2).record({1, 2, 3}).record({4, 5, 6, 7}).trailer().bytes();
    const Bytes cut(whole.begin(), whole.begin() + 30);
    writeFile("rms.dat", cut);
    writeFile("rms.dat.bad", {0});

    EXPECT_EQ(RecordStore::listRecordStores(), Names{});
    EXPECT_EQ(output().rfind("error leyendo RMS\n"
                             "java.io.EOFException: store 0 \"g\" record 2 length: need 4 bytes at offset 29, 1 left\n",
                             0),
              0u)
        << output();
    EXPECT_EQ(readFile("rms.dat"), cut);  // untouched until something is saved

    RecordStore::openRecordStore("s", true);
    EXPECT_NE(output().find("RMS: rms.dat did not load; kept it as rms.dat.bad\n"), std::string::npos);
    EXPECT_EQ(readFile("rms.dat.bad"), cut);
    ASSERT_EQ(fileStores().size(), 1u);
    EXPECT_EQ(fileStores()[0].name, "s");

    // Only the first save moves a file aside.
    RecordStore::openRecordStore("t", true);
    EXPECT_EQ(readFile("rms.dat.bad"), cut);
    EXPECT_EQ(fileStores().size(), 2u);
}

TEST_F(RecordStoreTest, FileFromAnotherWriterLoads) {
    // Wrong magic, non-zero reserved word, no trailer, a count above 127.
    FileBuilder b;
    b.ascii("OTHER").be32(0x12345678).be32(2).ascii("x").u8(0).ascii("big").u8(130);
    for (int id = 1; id <= 130; ++id) b.record(Bytes(static_cast<std::size_t>(id % 3), static_cast<std::uint8_t>(id)));
    writeFile("rms.dat", b.bytes());

    auto big = RecordStore::openRecordStore("big", false);
    EXPECT_EQ(big->getNumRecords(), 130);
    EXPECT_EQ(big->getRecord(128), (Bytes{128, 128}));
    EXPECT_EQ(big->addRecord({}, 0, 0), 131);
    EXPECT_EQ(RecordStore::listRecordStores(), (Names{"x", "big"}));
    EXPECT_EQ(output(), "");
    EXPECT_FALSE(std::filesystem::exists("rms.dat.bad"));
}

TEST_F(RecordStoreTest, FailedSaveKeepsTheFileAndTheTable) {
    auto s = RecordStore::openRecordStore("s", true);
    s->addRecord({1}, 0, 1);
    const Bytes before = readFile("rms.dat");

    std::filesystem::create_directory("rms.dat.tmp");  // the save cannot write its temporary
    s->addRecord({2}, 0, 1);
    EXPECT_EQ(output().rfind("Error saving RMS\njava.io.IOException: rms.dat.tmp: ", 0), 0u) << output();
    EXPECT_EQ(readFile("rms.dat"), before);
    EXPECT_EQ(s->getNumRecords(), 2);

    std::filesystem::remove("rms.dat.tmp");
    s->addRecord({3}, 0, 1);
    EXPECT_EQ(fileStores().at(0).records, (std::vector<Bytes>{{1}, {2}, {3}}));
}

TEST_F(RecordStoreTest, TwoThreadsKeepTheTableWhole) {
    // The shell's event thread saves its setting while the game saves.
    auto settings = RecordStore::openRecordStore("emu_settings", true);
    settings->addRecord({0}, 0, 1);
    std::thread shell([&] {
        for (int i = 0; i < 40; ++i) {
            RecordStore::openRecordStore("emu_settings", false)->setRecord(1, {static_cast<std::uint8_t>(i)}, 0, 1);
        }
    });
    auto g = RecordStore::openRecordStore("g", true);
    for (int i = 1; i <= 40; ++i) g->addRecord({static_cast<std::uint8_t>(i)}, 0, 1);
    shell.join();

    restart();
    EXPECT_EQ(RecordStore::openRecordStore("emu_settings", false)->getRecord(1), Bytes{39});
    auto reloaded = RecordStore::openRecordStore("g", false);
    ASSERT_EQ(reloaded->getNumRecords(), 40);
    for (int id = 1; id <= 40; ++id) EXPECT_EQ(reloaded->getRecord(id), Bytes{static_cast<std::uint8_t>(id)});
}

TEST_F(RecordStoreTest, TraceLines) {
    auto& emu = TarvokinEmu::config();
    TarvokinEmu::Emulator::resetClassState();
    emu.debugOutput = true;
    TarvokinEmu::shared().midletRunning = true;

    auto s = RecordStore::openRecordStore("g", true);
    s->addRecord({1}, 0, 1);
    s->setRecord(1, {2}, 0, 1);
    s->getRecord(1);
    s->getRecordSize(1);
    s->deleteRecord(1);
    s->getNumRecords();
    s->getName();
    s->closeRecordStore();
    RecordStore::listRecordStores();
    RecordStore::deleteRecordStore("g");
    Bytes buffer(4);
    EXPECT_EQ(RecordStore::openRecordStore("g", "vendor", "suite"), nullptr);
    EXPECT_EQ(RecordStore::openRecordStore("g", true, RecordStore::AUTHMODE_ANY, true), nullptr);
    EXPECT_EQ(s->getRecord(1, buffer, 0), 0);
    EXPECT_EQ(s->getNextRecordID(), 0);
    EXPECT_EQ(s->getSize(), 0);
    EXPECT_EQ(s->getSizeAvailable(), 0);
    EXPECT_EQ(s->getVersion(), 0);
    EXPECT_EQ(s->getLastModified(), 0);
    EXPECT_EQ(s->enumerateRecords(nullptr, nullptr, false), nullptr);
    s->addRecordListener(nullptr);
    s->removeRecordListener(nullptr);
    s->setMode(0, false);

    EXPECT_EQ(output(),
              "[EMU class Opened: javax.microedition.rms.RecordStore]\n"
              "[EMU openRecordStore(g, true)]\n"
              "[EMU addRecord(byte[], int, int)]\n"
              "[EMU setRecord(int, byte[], int, int)]\n"
              "[EMU getRecord(int)]\n"
              "[EMU getRecordSize(int)]\n"
              "[EMU deleteRecord(int)]\n"
              "[EMU getNumRecords(): 1]\n"
              "[EMU getName()]\n"
              "[EMU closeRecordStore()]\n"
              "[EMU listRecordStores()]\n"
              "[EMU deleteRecordStore(g)]\n"
              "[EMU openRecordStore(g, String, String) to be implemented!!!]\n"
              "[EMU openRecordStore(g,flag, int, int) to be implemented!!!]\n"
              "[EMU getRecord(int, byte[], int) to be implemented!!!]\n"
              "[EMU getNextRecordID() to be implemented!!!]\n"
              "[EMU getSize() to be implemented!!!]\n"
              "[EMU getSizeAvailable() to be implemented!!!]\n"
              "[EMU getVersion() to be implemented!!!]\n"
              "[EMU getLastModified() to be implemented!!!]\n"
              "[EMU enumerateRecords() to be implemented!!!]\n"
              "[EMU addRecordListener() to be implemented!!!]\n"
              "[EMU removeRecordListener() to be implemented!!!]\n"
              "[EMU setMode(int, boolean) to be implemented!!!]\n");
}

}  // namespace
