// tarvokin-tool gfx: runs a script of Graphics and Image calls on a canvas
// and saves the canvas as a PNG with alpha.
//   gfx SCRIPT OUT.png
// One call per line; numbers in decimal or 0x hexadecimal; '#' starts a
// comment. The first call is "canvas W H" (createImage(W, H)); the others:
//   image NAME FILE            createImage from the file's bytes (relative
//                              paths start at the script's folder)
//   rgbimage NAME W H ALPHA v...  createRGBImage from W x H values (they may
//                              run on over the following lines); the values
//                              also form the array NAME
//   array NAME N v...          an int array for drawRGB
//   getGraphics                the canvas's getGraphics() again (fresh surface)
// and every Graphics method by name with its own arguments in order, images
// and arrays by NAME, booleans as true/false: setColor, fillRect, drawRect,
// drawLine, fillTriangle, drawArc, fillArc, drawRoundRect, fillRoundRect,
// setClip, clipRect, translate, drawImage, drawRegion, drawRGB, drawString.
// A call that throws prints the exception with its line and the script goes
// on, as a game catching it would.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ToolCommand.h"
#include "java/lang/Throwable.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/PngWriter.h"

namespace {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Line {
    int number = 0;
    std::vector<std::string> words;
};

std::vector<Line> readScript(std::istream& in) {
    std::vector<Line> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
        std::istringstream words(text);
        Line line{number, {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()}};
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

int parseInt(const std::string& word) {
    std::size_t used = 0;
    long long v = 0;
    try {
        const bool negative = !word.empty() && word[0] == '-';
        const std::string digits = negative ? word.substr(1) : word;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            v = std::stoll(digits.substr(2), &used, 16);
            used += 2;
        } else {
            v = std::stoll(digits, &used, 10);
        }
        used += negative ? 1 : 0;
        if (negative) v = -v;
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != word.size() || word.empty() || v < INT32_MIN || v > UINT32_MAX)
        throw ScriptError("not a number: " + word);
    // 0xFF000000 and the like are ints with the top bit set.
    return static_cast<int>(static_cast<std::uint32_t>(v));
}

bool parseBool(const std::string& word) {
    if (word == "true") return true;
    if (word == "false") return false;
    throw ScriptError("not a boolean: " + word);
}

class Script {
public:
    Script(std::vector<Line> lines, std::filesystem::path folder) : lines_(std::move(lines)), folder_(std::move(folder)) {}

    std::shared_ptr<Image> run() {
        if (lines_.empty() || lines_[0].words[0] != "canvas" || lines_[0].words.size() != 3)
            throw ScriptError("line 1: the script must start with \"canvas W H\"");
        canvas_ = Image::createImage(parseInt(lines_[0].words[1]), parseInt(lines_[0].words[2]));
        g_ = canvas_->getGraphics();
        for (next_ = 1; next_ < lines_.size();) {
            const Line& line = lines_[next_++];
            try {
                call(line);
            } catch (const ScriptError& e) {
                throw ScriptError("line " + std::to_string(line.number) + ": " + e.what());
            } catch (const java::lang::Throwable& e) {
                std::cout << "line " << line.number << ": " << e.toString() << std::endl;
            }
        }
        return canvas_;
    }

private:
    void expect(const Line& line, std::size_t args) {
        if (line.words.size() != args + 1)
            throw ScriptError(line.words[0] + " takes " + std::to_string(args) + " arguments");
    }

    std::vector<int> ints(const Line& line, std::size_t count) {
        expect(line, count);
        std::vector<int> v;
        for (std::size_t i = 1; i <= count; ++i) v.push_back(parseInt(line.words[i]));
        return v;
    }

    std::shared_ptr<Image> image(const std::string& name) {
        if (name == "null") return nullptr;
        auto it = images_.find(name);
        if (it == images_.end()) throw ScriptError("no image " + name);
        return it->second;
    }

    // count values: the rest of the line, then following lines.
    std::vector<std::int32_t> values(const Line& line, std::size_t first, std::size_t count) {
        std::vector<std::int32_t> v;
        for (std::size_t i = first; i < line.words.size(); ++i) v.push_back(parseInt(line.words[i]));
        while (v.size() < count && next_ < lines_.size())
            for (const std::string& w : lines_[next_++].words) v.push_back(parseInt(w));
        if (v.size() != count)
            throw ScriptError("expected " + std::to_string(count) + " values, got " + std::to_string(v.size()));
        return v;
    }

    void call(const Line& line) {
        const std::string& op = line.words[0];
        const auto& w = line.words;
        if (op == "image") {
            expect(line, 2);
            std::ifstream file(folder_ / w[2], std::ios::binary);
            if (!file) throw ScriptError("cannot read " + w[2]);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            images_[w[1]] = Image::createImage(bytes, 0, static_cast<int>(bytes.size()));
            if (!images_[w[1]]) throw ScriptError("cannot decode " + w[2]);
        } else if (op == "rgbimage") {
            if (w.size() < 5) throw ScriptError("rgbimage takes NAME W H ALPHA and the values");
            const int width = parseInt(w[2]), height = parseInt(w[3]);
            if (width < 0 || height < 0 || std::int64_t{width} * height > (1 << 20)) throw ScriptError("bad size");
            arrays_[w[1]] = values(line, 5, static_cast<std::size_t>(width) * height);
            images_[w[1]] = Image::createRGBImage(arrays_[w[1]], width, height, parseBool(w[4]));
        } else if (op == "array") {
            if (w.size() < 3) throw ScriptError("array takes NAME N and the values");
            const int count = parseInt(w[2]);
            if (count < 0 || count > (1 << 20)) throw ScriptError("bad size");
            arrays_[w[1]] = values(line, 3, static_cast<std::size_t>(count));
        } else if (op == "getGraphics") {
            expect(line, 0);
            g_ = canvas_->getGraphics();
        } else if (op == "setColor") {
            if (w.size() == 4) {
                const auto v = ints(line, 3);
                g_->setColor(v[0], v[1], v[2]);
            } else {
                g_->setColor(ints(line, 1)[0]);
            }
        } else if (op == "drawImage") {
            expect(line, 4);
            g_->drawImage(image(w[1]), parseInt(w[2]), parseInt(w[3]), parseInt(w[4]));
        } else if (op == "drawRegion") {
            expect(line, 9);
            std::vector<int> v;
            for (std::size_t i = 2; i <= 9; ++i) v.push_back(parseInt(w[i]));
            g_->drawRegion(image(w[1]), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        } else if (op == "drawRGB") {
            expect(line, 8);
            auto it = arrays_.find(w[1]);
            if (it == arrays_.end()) throw ScriptError("no array " + w[1]);
            std::vector<int> v;
            for (std::size_t i = 2; i <= 7; ++i) v.push_back(parseInt(w[i]));
            g_->drawRGB(it->second, v[0], v[1], v[2], v[3], v[4], v[5], parseBool(w[8]));
        } else if (op == "drawString") {
            expect(line, 4);
            g_->drawString(w[1], parseInt(w[2]), parseInt(w[3]), parseInt(w[4]));
        } else {
            simple(line);
        }
    }

    void simple(const Line& line) {
        using Call = std::function<void(Graphics&, const std::vector<int>&)>;
        static const std::map<std::string, std::pair<std::size_t, Call>> calls = {
            {"fillRect", {4, [](Graphics& g, const std::vector<int>& v) { g.fillRect(v[0], v[1], v[2], v[3]); }}},
            {"drawRect", {4, [](Graphics& g, const std::vector<int>& v) { g.drawRect(v[0], v[1], v[2], v[3]); }}},
            {"drawLine", {4, [](Graphics& g, const std::vector<int>& v) { g.drawLine(v[0], v[1], v[2], v[3]); }}},
            {"fillTriangle",
             {6, [](Graphics& g, const std::vector<int>& v) { g.fillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]); }}},
            {"drawArc",
             {6, [](Graphics& g, const std::vector<int>& v) { g.drawArc(v[0], v[1], v[2], v[3], v[4], v[5]); }}},
            {"fillArc",
             {6, [](Graphics& g, const std::vector<int>& v) { g.fillArc(v[0], v[1], v[2], v[3], v[4], v[5]); }}},
            {"drawRoundRect",
             {6, [](Graphics& g, const std::vector<int>& v) { g.drawRoundRect(v[0], v[1], v[2], v[3], v[4], v[5]); }}},
            {"fillRoundRect",
             {6, [](Graphics& g, const std::vector<int>& v) { g.fillRoundRect(v[0], v[1], v[2], v[3], v[4], v[5]); }}},
            {"setClip", {4, [](Graphics& g, const std::vector<int>& v) { g.setClip(v[0], v[1], v[2], v[3]); }}},
            {"clipRect", {4, [](Graphics& g, const std::vector<int>& v) { g.clipRect(v[0], v[1], v[2], v[3]); }}},
            {"translate", {2, [](Graphics& g, const std::vector<int>& v) { g.translate(v[0], v[1]); }}},
        };
        auto it = calls.find(line.words[0]);
        if (it == calls.end()) throw ScriptError("unknown call " + line.words[0]);
        it->second.second(*g_, ints(line, it->second.first));
    }

    std::vector<Line> lines_;
    std::filesystem::path folder_;
    std::size_t next_ = 0;
    std::shared_ptr<Image> canvas_;
    std::shared_ptr<Graphics> g_;
    std::map<std::string, std::shared_ptr<Image>> images_;
    std::map<std::string, std::vector<std::int32_t>> arrays_;
};

int run(const tool::Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: tarvokin-tool gfx SCRIPT OUT.png\n";
        return 2;
    }
    std::ifstream in(args[0]);
    if (!in) {
        std::cerr << "tarvokin-tool gfx: cannot read " << args[0] << "\n";
        return 2;
    }
    std::shared_ptr<Image> canvas;
    try {
        canvas = Script(readScript(in), std::filesystem::path(args[0]).parent_path()).run();
    } catch (const ScriptError& e) {
        std::cerr << "tarvokin-tool gfx: " << args[0] << ": " << e.what() << "\n";
        return 1;
    }
    const std::size_t count = static_cast<std::size_t>(canvas->getWidth()) * canvas->getHeight();
    const auto png = platform::encodePng({canvas->pixelBuffer(), count}, canvas->getWidth(), canvas->getHeight());
    std::ofstream out(args[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (png.empty() || !out) {
        std::cerr << "tarvokin-tool gfx: cannot write " << args[1] << "\n";
        return 1;
    }
    return 0;
}

const bool registered = tool::registerCommand({"gfx", "  tarvokin-tool gfx SCRIPT OUT.png\n", &run});

}  // namespace
