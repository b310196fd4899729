#include "game/format/ProgressRecord.h"

#include <string>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"

namespace game::format {

namespace {
void checkSize(std::span<const std::uint8_t> record, std::size_t expected, const char* what) {
    if (record.size() != expected)
        throw java::lang::IllegalArgumentException(std::string(what) + " record of " + std::to_string(record.size()) +
                                                   " bytes, expected " + std::to_string(expected));
}
}  // namespace

std::vector<std::uint8_t> ProgressRecord::encode(const Progress& p) {
    java::io::DataWriter out(kSize);
    out.writeByte(p.menuWorld);
    out.writeByte(p.totalStars);
    out.writeInt(p.unlockCount);
    out.writeInt(p.unlockMask);
    for (int grade : p.levelGrade) out.writeByte(grade);
    for (int score : p.levelScore) out.writeInt(score);
    for (bool flag : p.progressFlags) out.writeByte(flag ? 1 : 0);
    out.writeByte(p.selectedLevel);
    return out.take();
}

Progress ProgressRecord::decode(std::span<const std::uint8_t> record) {
    checkSize(record, kSize, "progress");
    java::io::DataReader in(record);
    Progress p;
    p.menuWorld = in.readUnsignedByte();
    p.totalStars = in.readByte();
    p.unlockCount = in.readInt();
    p.unlockMask = in.readInt();
    for (int& grade : p.levelGrade) grade = in.readByte();
    for (int& score : p.levelScore) score = in.readInt();
    for (bool& flag : p.progressFlags) flag = in.readByte() != 0;
    p.selectedLevel = in.readUnsignedByte();
    return p;
}

std::vector<std::uint8_t> SettingsRecord::encode(const Settings& s) {
    java::io::DataWriter out(kSize);
    out.writeInt(s.musicVolume);
    out.writeInt(s.effectsVolume);
    out.writeInt(s.vibration ? 1 : 0);
    return out.take();
}

Settings SettingsRecord::decode(std::span<const std::uint8_t> record) {
    checkSize(record, kSize, "settings");
    java::io::DataReader in(record);
    Settings s;
    s.musicVolume = in.readInt();
    s.effectsVolume = in.readInt();
    s.vibration = in.readInt() == 1;
    return s;
}

}  // namespace game::format
