#include "game/format/LevelFile.h"

#include <algorithm>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"

namespace game::format {

namespace {

using java::lang::IllegalArgumentException;

std::string mapName(int k) { return "map " + std::to_string(k); }

void writeBlock(java::io::DataWriter& out, const LevelMap& m, int k) {
    if (m.cols < 1 || m.cols > 255 || m.rows < 1 || m.rows > 255) {
        throw IllegalArgumentException(mapName(k) + ": size " + std::to_string(m.cols) + " x " + std::to_string(m.rows) + " outside 1..255");
    }
    if (m.cells.size() != static_cast<std::size_t>(m.cols * m.rows)) {
        throw IllegalArgumentException(mapName(k) + ": " + std::to_string(m.cells.size()) + " cells for " +
                                       std::to_string(m.cols) + " x " + std::to_string(m.rows));
    }
    if (m.records.size() > 32767) throw IllegalArgumentException(mapName(k) + ": too many records");
    out.writeByte(m.cols);
    out.writeByte(m.rows);
    for (std::int8_t c : m.cells) out.writeByte(c);
    out.writeShort(static_cast<int>(m.records.size()));
    for (std::size_t i = 0; i < m.records.size(); ++i) {
        const LevelRecord& r = m.records[i];
        const std::string where = mapName(k) + " record " + std::to_string(i) + " (code " + std::to_string(r.code) + ")";
        if (r.code < 0 || r.code > 255) throw IllegalArgumentException(where + ": code outside 0..255");
        int params = 0;
        if (r.code == LevelFile::Header) {
            if (r.values.size() < 6) throw IllegalArgumentException(where + ": header needs at least 7 values");
            params = r.values[5];
        }
        const std::vector<int> widths = LevelFile::fieldWidths(r.code, params);
        if (widths.size() != r.values.size()) {
            throw IllegalArgumentException(where + ": " + std::to_string(r.values.size()) + " values, the layout has " +
                                           std::to_string(widths.size()));
        }
        out.writeByte(r.code);
        for (std::size_t f = 0; f < widths.size(); ++f) {
            const int v = r.values[f];
            const bool ok = widths[f] == 1 ? (v >= -128 && v <= 255) : (v >= -32768 && v <= 65535);
            if (!ok) throw IllegalArgumentException(where + ": value " + std::to_string(f) + " = " + std::to_string(v) + " does not fit");
            widths[f] == 1 ? out.writeByte(v) : out.writeShort(v);
        }
    }
}

}  // namespace

std::vector<int> LevelFile::fieldWidths(int code, int paramCount) {
    switch (code) {
        case Header: {
            std::vector<int> w = {1, 1, 1, 1, 2, 2, 1};
            if (paramCount > 0) w.insert(w.end(), static_cast<std::size_t>(paramCount), 2);
            return w;
        }
        case Bumper: return {1, 1, 1, 1};
        case Object: return {1, 1, 1};
        case Decoration: return {1, 1};
        case Camera: return {1, 1};
        case Switch: return std::vector<int>(6, 1);
        case Finale: return std::vector<int>(16, 1);
        case Bat: return {1, 1, 2, 1, 2, 2, 1, 1, 2};
        case Drop: return {1, 1, 2, 2, 2};
        case SmashTarget:
        case AimTarget:
        case CameraZone: return {1, 1, 1, 1};
        case Skip1: return {1};
        case LevelRow: return std::vector<int>(5, 1);
        default: return {};
    }
}

std::vector<std::uint8_t> LevelFile::write(const std::vector<std::optional<LevelMap>>& maps) {
    const int count = static_cast<int>(maps.size());
    std::vector<std::vector<std::uint8_t>> blocks;
    blocks.reserve(maps.size());
    for (int k = 0; k < count; ++k) {
        java::io::DataWriter block;
        LevelMap empty;
        empty.cols = empty.rows = 1;
        empty.cells = {0};
        writeBlock(block, maps[static_cast<std::size_t>(k)] ? *maps[static_cast<std::size_t>(k)] : empty, k);
        blocks.push_back(block.take());
    }
    java::io::DataWriter out;
    out.writeByte(0);
    std::size_t at = 1 + 4 * maps.size();  // first block
    for (int k = 0; k < count; ++k) {
        const std::size_t tableEnd = 5 + 4 * static_cast<std::size_t>(k);
        out.writeInt(static_cast<std::int32_t>(at - tableEnd));
        at += blocks[static_cast<std::size_t>(k)].size();
    }
    for (const auto& b : blocks) out.write(b);
    return out.take();
}

std::size_t LevelFile::blockOffset(std::span<const std::uint8_t> file, int map) {
    if (map < 0) throw IllegalArgumentException("map number " + std::to_string(map));
    java::io::DataReader in(file);
    try {
        in.readFully(1 + 4 * static_cast<std::size_t>(map));
        const std::int64_t at = 5 + 4 * std::int64_t{map} + in.readInt();
        if (at < 0 || at > static_cast<std::int64_t>(file.size())) {
            throw IllegalArgumentException(mapName(map) + " starts at " + std::to_string(at) + ", outside the file");
        }
        return static_cast<std::size_t>(at);
    } catch (const java::io::EOFException& e) {
        throw java::io::EOFException(mapName(map) + ": offset table ends early (" + e.getMessage() + ")");
    }
}

LevelRecord LevelFile::readRecord(java::io::DataReader& in) {
    LevelRecord r;
    r.code = in.readUnsignedByte();
    if (r.code == Header) {
        for (int f = 0; f < 4; ++f) r.values.push_back(in.readUnsignedByte());
        r.values.push_back(in.readShort());
        const int n = in.readShort();
        r.values.push_back(n);
        r.values.push_back(in.readUnsignedByte());
        for (int p = 0; p < n; ++p) r.values.push_back(in.readShort());
    } else {
        for (int w : fieldWidths(r.code)) r.values.push_back(w == 1 ? in.readUnsignedByte() : in.readShort());
    }
    return r;
}

LevelMap LevelFile::read(std::span<const std::uint8_t> file, int map) {
    const std::size_t at = blockOffset(file, map);
    java::io::DataReader in(file.subspan(at));
    LevelMap m;
    try {
        m.cols = in.readUnsignedByte();
        m.rows = in.readUnsignedByte();
        const auto cells = in.readFully(static_cast<std::size_t>(m.cols * m.rows));
        m.cells.assign(cells.begin(), cells.end());
        const int count = in.readShort();
        if (count < 0) throw IllegalArgumentException(mapName(map) + ": record count " + std::to_string(count));
        for (int i = 0; i < count; ++i) {
            LevelRecord r = readRecord(in);
            m.records.push_back(std::move(r));
        }
    } catch (const java::io::EOFException& e) {
        throw java::io::EOFException(mapName(map) + " ends early: " + e.getMessage());
    }
    return m;
}

int LevelFile::mapCount(std::span<const std::uint8_t> file) {
    std::size_t firstBlock = file.size();
    int k = 0;
    for (; 5 + 4 * static_cast<std::size_t>(k) <= firstBlock; ++k) {
        const std::size_t e = 1 + 4 * static_cast<std::size_t>(k);
        const std::int32_t entry = static_cast<std::int32_t>((std::uint32_t{file[e]} << 24) | (std::uint32_t{file[e + 1]} << 16) |
                                                             (std::uint32_t{file[e + 2]} << 8) | file[e + 3]);
        const std::int64_t at = static_cast<std::int64_t>(e) + 4 + entry;
        if (at >= 0 && at < static_cast<std::int64_t>(firstBlock)) firstBlock = std::max(static_cast<std::size_t>(at), e + 4);
    }
    return k;
}

}  // namespace game::format
