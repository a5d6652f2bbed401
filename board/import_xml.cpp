// The XML ".map" form: a <mahjongg> element holding any number of <map name="..."> elements.
// Inside a map, <layer z="n"> groups elements of one layer, and four elements place tiles by
// their top-left corner in tile units (halves allowed): <tile x y>, <row y left right>,
// <column x top bottom> and <block left right top bottom>, each with an optional z that
// overrides its layer's. Rows, columns and blocks step by one whole tile. The parser reads
// elements, attributes in either quote, comments and processing instructions; text is ignored.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "board/import.h"

namespace {

// Positions and layers above this (in half-tile units, layers as they are) are refused before any
// arithmetic, which keeps every later sum far from overflowing.
constexpr int kMaxHalfUnits = 400;
constexpr int kMaxLayer = 200;

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    bool closing = false;       // </name>
    bool selfClosing = false;   // <name ... />
};

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    // The next element tag; false at the end of the text or on a fault (truncated() tells which).
    bool Next(Element& element) {
        for (;;) {
            const size_t open = text_.find('<', at_);
            if (open == std::string::npos) {
                at_ = text_.size();
                return false;
            }
            at_ = open;
            if (Skip("<!--", "-->") || Skip("<?", "?>") || Skip("<!", ">")) {
                if (truncated_) return false;
                continue;
            }
            return ReadTag(element);
        }
    }
    bool truncated() const { return truncated_; }
    bool malformed() const { return malformed_; }

private:
    bool Skip(const char* start, const char* end) {
        if (text_.compare(at_, std::strlen(start), start) != 0) return false;
        const size_t close = text_.find(end, at_ + std::strlen(start));
        if (close == std::string::npos) {
            truncated_ = true;
            at_ = text_.size();
        } else {
            at_ = close + std::strlen(end);
        }
        return true;
    }

    static bool NameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == ':' || c == '.';
    }
    void SkipSpace() {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_])) ++at_;
    }
    std::string ReadName() {
        const size_t start = at_;
        while (at_ < text_.size() && NameChar(text_[at_])) ++at_;
        return text_.substr(start, at_ - start);
    }

    bool ReadTag(Element& element) {
        element = Element{};
        ++at_;   // '<'
        if (at_ < text_.size() && text_[at_] == '/') {
            element.closing = true;
            ++at_;
        }
        element.name = ReadName();
        for (;;) {
            SkipSpace();
            if (at_ >= text_.size()) return Fail(true);
            const char c = text_[at_];
            if (c == '>') {
                ++at_;
                return !element.name.empty() || Fail(false);
            }
            if (c == '/' && !element.closing) {
                if (at_ + 1 >= text_.size()) return Fail(true);
                if (text_[at_ + 1] != '>') return Fail(false);
                at_ += 2;
                element.selfClosing = true;
                return !element.name.empty() || Fail(false);
            }
            const std::string name = ReadName();
            SkipSpace();
            if (at_ >= text_.size()) return Fail(true);
            if (name.empty() || text_[at_] != '=') return Fail(false);
            ++at_;
            SkipSpace();
            if (at_ >= text_.size()) return Fail(true);
            const char quote = text_[at_];
            if (quote != '"' && quote != '\'') return Fail(false);
            const size_t close = text_.find(quote, at_ + 1);
            if (close == std::string::npos) return Fail(true);
            element.attributes[name] = text_.substr(at_ + 1, close - at_ - 1);
            at_ = close + 1;
        }
    }
    bool Fail(bool truncated) {
        (truncated ? truncated_ : malformed_) = true;
        at_ = text_.size();
        return false;
    }

    const std::string& text_;
    size_t at_ = 0;
    bool truncated_ = false;
    bool malformed_ = false;
};

// "3", "2.5", " 11 ": a whole or half number from 0 to the limit, as half units.
bool HalfUnits(const std::string& text, int& out) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    int whole = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        whole = whole * 10 + (text[i] - '0');
        if (whole > kMaxHalfUnits) return false;
    }
    int half = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (i < text.size() && text[i] == '5') half = 1, digits = true, ++i;
        else if (i < text.size() && text[i] == '0') digits = true, ++i;
        while (i < text.size() && text[i] == '0') ++i;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (!digits || i != text.size()) return false;
    out = whole * 2 + half;
    return out <= kMaxHalfUnits;
}

class MapBuilder {
public:
    MapBuilder(std::vector<ForeignMap>& maps, char* fault, size_t faultSize)
        : maps_(maps), fault_(fault), faultSize_(faultSize) {}

    // Adds the tiles of a placing element to the last map; false with the fault when a value is bad.
    bool Place(const Element& e, int layer) {
        int z = layer;
        if (e.attributes.count("z") && !Layer(e, z)) return false;
        int x = 0, y = 0, left = 0, right = 0, top = 0, bottom = 0;
        if (e.name == "tile") {
            if (!Get(e, "x", x) || !Get(e, "y", y)) return false;
            left = right = x;
            top = bottom = y;
        } else if (e.name == "row") {
            if (!Get(e, "y", y) || !Get(e, "left", left) || !Get(e, "right", right)) return false;
            top = bottom = y;
        } else if (e.name == "column") {
            if (!Get(e, "x", x) || !Get(e, "top", top) || !Get(e, "bottom", bottom)) return false;
            left = right = x;
        } else {   // block
            if (!Get(e, "left", left) || !Get(e, "right", right) || !Get(e, "top", top) ||
                !Get(e, "bottom", bottom))
                return false;
        }
        if (right < left || bottom < top) {
            std::snprintf(fault_, faultSize_, "a <%s> in map \"%.40s\" ends before it starts", e.name.c_str(),
                          maps_.back().name.c_str());
            return false;
        }
        // Whole-tile steps (two half units); all values are at most kMaxHalfUnits. Past the most
        // tiles a map may hold nothing more is placed, so a file of huge blocks stays quick.
        std::vector<ForeignTile>& tiles = maps_.back().tiles;
        for (int ty = top; ty <= bottom && tiles.size() < kMaxForeignTiles; ty += 2)
            for (int tx = left; tx <= right && tiles.size() < kMaxForeignTiles; tx += 2) tiles.push_back({tx, ty, z});
        return true;
    }

    bool Layer(const Element& e, int& z) {
        const std::string& text = e.attributes.at("z");
        int v = 0;
        bool ok = !text.empty() && text.size() <= 4;
        for (char c : text) ok = ok && c >= '0' && c <= '9';
        if (ok) v = std::atoi(text.c_str());
        if (!ok || v > kMaxLayer) {
            std::snprintf(fault_, faultSize_, "a layer \"%.20s\" in map \"%.40s\" is not a number from 0 to %d",
                          text.c_str(), maps_.empty() ? "" : maps_.back().name.c_str(), kMaxLayer);
            return false;
        }
        z = v;
        return true;
    }

private:
    bool Get(const Element& e, const char* name, int& out) {
        const auto it = e.attributes.find(name);
        if (it != e.attributes.end() && HalfUnits(it->second, out)) return true;
        std::snprintf(fault_, faultSize_,
                      "a <%s> in map \"%.40s\" has no usable %s (a whole or half number from 0 to %d)",
                      e.name.c_str(), maps_.back().name.c_str(), name, kMaxHalfUnits / 2);
        return false;
    }

    std::vector<ForeignMap>& maps_;
    char* fault_;
    size_t faultSize_;
};

}  // namespace

bool ReadXmlMaps(const std::string& text, std::vector<ForeignMap>& maps, char* fault, size_t faultSize) {
    Parser parser(text);
    MapBuilder builder(maps, fault, faultSize);
    std::vector<std::string> open;        // elements not yet closed, outermost first
    std::vector<int> layers = {0};        // the layer of each open <layer>, 0 outside any
    bool sawRoot = false;
    Element e;
    while (parser.Next(e)) {
        if (e.closing) {
            if (open.empty() || open.back() != e.name) {
                std::snprintf(fault, faultSize, "the XML closes <%.30s> where it is not open", e.name.c_str());
                return false;
            }
            if (e.name == "layer") layers.pop_back();
            open.pop_back();
            continue;
        }
        if (open.empty()) {
            if (e.name != "mahjongg") {
                std::snprintf(fault, faultSize, "bad header: the file is not a layout map (its first element "
                                                "is <%.30s>)", e.name.c_str());
                return false;
            }
            sawRoot = true;
        }
        const bool inMap = std::find(open.begin(), open.end(), "map") != open.end();
        if (e.name == "map" && !inMap) {
            ForeignMap map;
            map.name = e.attributes.count("name") ? e.attributes.at("name") : "Map " + std::to_string(maps.size() + 1);
            map.description = "Converted from the map \"" + map.name.substr(0, 60) + "\".";
            if (maps.size() >= 1000) {
                std::snprintf(fault, faultSize, "the file holds more than 1000 maps");
                return false;
            }
            maps.push_back(map);
        } else if (e.name == "layer") {
            int z = 0;
            if (inMap && e.attributes.count("z") && !builder.Layer(e, z)) return false;
            if (!e.selfClosing) layers.push_back(z);   // popped by its closing tag
        } else if (inMap && (e.name == "tile" || e.name == "row" || e.name == "column" || e.name == "block")) {
            if (!builder.Place(e, layers.back())) return false;
        }
        if (!e.selfClosing) {
            if (open.size() >= 64) {
                std::snprintf(fault, faultSize, "the XML nests more than 64 elements deep");
                return false;
            }
            open.push_back(e.name);
        }
    }
    if (parser.truncated() || (sawRoot && !open.empty())) {
        std::snprintf(fault, faultSize, "the XML ends before its elements are closed (truncated file)");
        return false;
    }
    if (parser.malformed()) {
        std::snprintf(fault, faultSize, "the XML is not well formed");
        return false;
    }
    if (!sawRoot) {
        std::snprintf(fault, faultSize, "bad header: the file holds no <mahjongg> element");
        return false;
    }
    if (maps.empty()) {
        std::snprintf(fault, faultSize, "the file holds no map");
        return false;
    }
    return true;
}
