#include "ui/win32/HtmlToRtf.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvex::win32 {
namespace {

// Fonts and colours of the RTF header; the body's look is the help page's own.
constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Trebuchet MS;}{\\f1\\fmodern\\fcharset0 Courier New;}}"
    "{\\colortbl;\\red34\\green34\\blue34;\\red0\\green85\\blue127;\\red0\\green0\\blue238;}"
    "\\viewkind4\\plain\\f0\\fs20\\cf1 ";
// \plain first: a RichEdit's own default may be bold (the System font).
constexpr std::string_view kBodyCharacters = "\\plain\\f0\\fs20\\cf1";
constexpr int kListIndentTwips = 360;

bool IsSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

struct TNamedEntity {
    std::string_view name;
    char32_t character;
};

constexpr std::array<TNamedEntity, 16> kNamedEntities{{
    {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U'\u00A0'},
    {"copy", U'\u00A9'}, {"reg", U'\u00AE'}, {"trade", U'\u2122'}, {"ndash", U'\u2013'}, {"mdash", U'\u2014'},
    {"hellip", U'\u2026'}, {"laquo", U'\u00AB'}, {"raquo", U'\u00BB'}, {"euro", U'\u20AC'}, {"bull", U'\u2022'},
}};

std::optional<char32_t> NumericEntity(std::string_view digits)
{
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    const bool valid = value != 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    return valid ? static_cast<char32_t>(value) : U'\uFFFD';
}

// The character of the entity that starts at html[at] ('&'), and its length.
std::optional<std::pair<char32_t, std::size_t>> Entity(std::string_view html, std::size_t at)
{
    constexpr std::size_t kLongestEntity = 12;  // "&#x0010FFFF;"
    const std::size_t end = html.substr(0, at + kLongestEntity).find(';', at + 1);
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = html.substr(at + 1, end - at - 1);
    std::optional<char32_t> character;
    if (!name.empty() && name[0] == '#') {
        character = NumericEntity(name.substr(1));
    } else {
        const auto found = std::find_if(kNamedEntities.begin(), kNamedEntities.end(),
                                        [&](const TNamedEntity& e) { return e.name == name; });
        if (found != kNamedEntities.end())
            character = found->character;
    }
    if (!character)
        return std::nullopt;
    return std::make_pair(*character, end - at + 1);
}

struct TTag {
    std::string name;
    bool closing = false;
    std::string classes;
};

std::string_view AttributeValue(std::string_view attributes, std::string_view wanted)
{
    std::size_t i = 0;
    while (i < attributes.size()) {
        while (i < attributes.size() && (IsSpace(static_cast<unsigned char>(attributes[i])) || attributes[i] == '/'))
            ++i;
        const std::size_t nameStart = i;
        while (i < attributes.size() && attributes[i] != '=' && !IsSpace(static_cast<unsigned char>(attributes[i])))
            ++i;
        const std::string name = Lower(attributes.substr(nameStart, i - nameStart));
        std::string_view value;
        if (i < attributes.size() && attributes[i] == '=') {
            ++i;
            const char quote = i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'') ? attributes[i] : 0;
            const std::size_t valueStart = quote ? i + 1 : i;
            std::size_t valueEnd = quote ? attributes.find(quote, valueStart) : valueStart;
            if (!quote) {
                while (valueEnd < attributes.size() && !IsSpace(static_cast<unsigned char>(attributes[valueEnd])))
                    ++valueEnd;
            }
            valueEnd = std::min(valueEnd, attributes.size());
            value = attributes.substr(valueStart, valueEnd - valueStart);
            i = quote && valueEnd < attributes.size() ? valueEnd + 1 : valueEnd;
        }
        if (name == wanted)
            return value;
        if (i == nameStart)
            ++i;
    }
    return {};
}

// The end of the tag that starts at html[at] ('<'), past its '>', or npos
// when it has none; quoted attribute values may hold '>'.
std::size_t TagEnd(std::string_view html, std::size_t at)
{
    char quote = 0;
    for (std::size_t i = at + 1; i < html.size(); ++i) {
        const char c = html[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        } else if (c == '<') {
            return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

TTag ParseTag(std::string_view inside)
{
    TTag tag;
    if (!inside.empty() && inside[0] == '/') {
        tag.closing = true;
        inside.remove_prefix(1);
    }
    std::size_t nameEnd = 0;
    while (nameEnd < inside.size() && (IsLetter(inside[nameEnd]) || (inside[nameEnd] >= '0' && inside[nameEnd] <= '9')))
        ++nameEnd;
    tag.name = Lower(inside.substr(0, nameEnd));
    tag.classes = Lower(AttributeValue(inside.substr(nameEnd), "class"));
    return tag;
}

bool HasClass(std::string_view classes, std::string_view wanted)
{
    std::size_t i = 0;
    while (i < classes.size()) {
        const std::size_t end = std::min(classes.find(' ', i), classes.size());
        if (classes.substr(i, end - i) == wanted)
            return true;
        i = end + 1;
    }
    return false;
}

enum class TBlockKind { Paragraph, List, ListItem, Preformatted };

struct TBlockTag {
    std::string_view name;
    TBlockKind kind;
    std::string_view paragraph;   // RTF paragraph properties
    std::string_view characters;  // RTF character properties
};

constexpr std::array<TBlockTag, 17> kBlockTags{{
    {"p", TBlockKind::Paragraph, "\\sa120", ""},
    {"div", TBlockKind::Paragraph, "\\sa120", ""},
    {"blockquote", TBlockKind::Paragraph, "\\li360\\sa120", ""},
    {"h1", TBlockKind::Paragraph, "\\sa200", "\\b\\fs30\\cf2"},
    {"h2", TBlockKind::Paragraph, "\\sb300\\sa120", "\\b\\fs24\\cf2"},
    {"h3", TBlockKind::Paragraph, "\\sb240\\sa100", "\\b\\fs22\\cf2"},
    {"h4", TBlockKind::Paragraph, "\\sb200\\sa80", "\\b\\cf2"},
    {"h5", TBlockKind::Paragraph, "\\sb200\\sa80", "\\b\\cf2"},
    {"h6", TBlockKind::Paragraph, "\\sb200\\sa80", "\\b\\cf2"},
    {"ul", TBlockKind::List, "", ""},
    {"ol", TBlockKind::List, "", ""},
    {"dl", TBlockKind::List, "", ""},
    {"li", TBlockKind::ListItem, "\\sa60", ""},
    {"dt", TBlockKind::Paragraph, "\\sb160\\sa40", "\\b"},
    {"dd", TBlockKind::Paragraph, "\\li320\\sa120", ""},
    {"pre", TBlockKind::Preformatted, "\\sa120", "\\f1"},
    {"body", TBlockKind::Paragraph, "\\sa120", ""},
}};

const TBlockTag* FindBlockTag(std::string_view name)
{
    const auto found = std::find_if(kBlockTags.begin(), kBlockTags.end(), [&](const TBlockTag& t) { return t.name == name; });
    return found == kBlockTags.end() ? nullptr : &*found;
}

// The RTF character properties of an inline tag, or nullopt for a tag that
// only passes its text on.
std::optional<std::string_view> InlineProperties(const TTag& tag)
{
    if (tag.name == "b" || tag.name == "strong")
        return "\\b";
    if (tag.name == "i" || tag.name == "em" || tag.name == "cite")
        return "\\i";
    if (tag.name == "u")
        return "\\ul";
    if (tag.name == "a")
        return "\\ul\\cf3";
    if (tag.name == "code" || tag.name == "tt" || tag.name == "kbd" || tag.name == "samp")
        return "\\f1";
    if (tag.name == "span")
        return HasClass(tag.classes, "path") ? "\\f1" : "";
    return std::nullopt;
}

bool IsRawText(std::string_view name)
{
    return name == "title" || name == "style" || name == "script";
}

class TRtfWriter {
public:
    TRtfWriter() { out_ = kHeader; }

    void Character(char32_t c);
    void LineBreak();
    void OpenBlock(const TBlockTag& block);
    void CloseBlock(std::string_view name);
    void OpenInline(std::string_view name, std::string_view properties);
    void CloseInline(std::string_view name);
    std::string Finish();

private:
    struct TOpenBlock {
        const TBlockTag* tag;
        int itemNumber = 0;  // an ordered list's last item number
    };
    struct TOpenInline {
        std::string name;
        std::string properties;
    };

    const TBlockTag* InnermostBlock() const;
    std::string ParagraphProperties(bool continuation) const;
    void OpenParagraph();
    void EndParagraph();
    void Space();
    void Escaped(char32_t c);
    bool Preformatted() const;
    int ListDepth() const;
    std::string ItemMarker();

    std::string out_;
    std::vector<TOpenBlock> blocks_;
    std::vector<TOpenInline> inlines_;
    bool paragraphOpen_ = false;
    bool pendingSpace_ = false;
    bool lineStart_ = true;
    bool afterSpace_ = false;  // the last character written was a space
};

bool TRtfWriter::Preformatted() const
{
    return std::any_of(blocks_.begin(), blocks_.end(),
                       [](const TOpenBlock& b) { return b.tag->kind == TBlockKind::Preformatted; });
}

int TRtfWriter::ListDepth() const
{
    return static_cast<int>(std::count_if(blocks_.begin(), blocks_.end(), [](const TOpenBlock& b) {
        return b.tag->kind == TBlockKind::List && b.tag->name != "dl";
    }));
}

void TRtfWriter::Character(char32_t c)
{
    if (Preformatted()) {
        if (c == '\n') {
            LineBreak();
            return;
        }
        if (c == '\r')
            return;
        if (!paragraphOpen_)
            OpenParagraph();
        if (c == '\t')
            out_ += "\\tab ";
        else
            Escaped(c);
        return;
    }
    if (IsSpace(c)) {
        pendingSpace_ = true;
        return;
    }
    if (!paragraphOpen_)
        OpenParagraph();
    Space();
    lineStart_ = false;
    afterSpace_ = false;
    Escaped(c);
}

// Writes the space that collapsed whitespace stands for, once.
void TRtfWriter::Space()
{
    if (pendingSpace_ && !lineStart_ && !afterSpace_) {
        out_ += ' ';
        afterSpace_ = true;
    }
    pendingSpace_ = false;
}

void TRtfWriter::Escaped(char32_t c)
{
    if (c == '\\' || c == '{' || c == '}') {
        out_ += '\\';
        out_ += static_cast<char>(c);
    } else if (c == U'\u00A0') {
        out_ += "\\~";
    } else if (c >= 0x20 && c < 0x7F) {
        out_ += static_cast<char>(c);
    } else if (c >= 0x80) {
        // \uN takes a signed 16-bit number; beyond the BMP, a surrogate pair.
        auto unit = [this](std::uint32_t u) { out_ += "\\u" + std::to_string(static_cast<std::int16_t>(u)) + '?'; };
        if (c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    // Other control characters show nothing in HTML either.
}

// A line break ends the paragraph without the space after it (\line is no
// line break to every RichEdit), and the next one goes on under it.
void TRtfWriter::LineBreak()
{
    if (!paragraphOpen_)
        OpenParagraph();
    out_ += "\\sa0\\par" + ParagraphProperties(true) + ' ';
    pendingSpace_ = false;
    lineStart_ = true;
}

const TBlockTag* TRtfWriter::InnermostBlock() const
{
    for (auto open = blocks_.rbegin(); open != blocks_.rend(); ++open) {
        if (open->tag->kind != TBlockKind::List)
            return open->tag;
    }
    return nullptr;
}

// The indents and spacing of the innermost block's paragraphs; a
// continuation (after a line break) has no space before and no item marker.
std::string TRtfWriter::ParagraphProperties(bool continuation) const
{
    const TBlockTag* block = InnermostBlock();
    std::string properties;
    const int depth = ListDepth();
    if (block != nullptr && block->kind == TBlockKind::ListItem)
        properties += "\\fi" + std::string(continuation ? "0" : "-240") + "\\li"
                      + std::to_string(240 + kListIndentTwips * std::max(depth - 1, 0));
    else if (depth > 0)
        properties += "\\li" + std::to_string(kListIndentTwips * depth);
    if (block != nullptr)
        properties += block->paragraph;
    if (continuation)
        properties += "\\sb0";
    return properties;
}

void TRtfWriter::OpenParagraph()
{
    const TBlockTag* block = InnermostBlock();
    out_ += "{\\pard" + ParagraphProperties(false);
    out_ += kBodyCharacters;
    if (block != nullptr)
        out_ += block->characters;
    out_ += ' ';
    paragraphOpen_ = true;
    lineStart_ = true;
    pendingSpace_ = false;
    afterSpace_ = false;
    if (block != nullptr && block->kind == TBlockKind::ListItem)
        out_ += ItemMarker() + "\\tab ";
    for (const TOpenInline& open : inlines_)
        out_ += "{" + open.properties + ' ';
}

std::string TRtfWriter::ItemMarker()
{
    for (auto open = blocks_.rbegin(); open != blocks_.rend(); ++open) {
        if (open->tag->kind == TBlockKind::List)
            return open->tag->name == "ol" ? std::to_string(open->itemNumber) + "." : "\\bullet";
    }
    return "\\bullet";
}

void TRtfWriter::EndParagraph()
{
    if (!paragraphOpen_)
        return;
    out_ += std::string(inlines_.size(), '}');
    out_ += "\\par}\n";
    paragraphOpen_ = false;
    pendingSpace_ = false;
}

void TRtfWriter::OpenBlock(const TBlockTag& block)
{
    EndParagraph();
    if (block.kind == TBlockKind::ListItem) {
        for (auto open = blocks_.rbegin(); open != blocks_.rend(); ++open) {
            if (open->tag->kind == TBlockKind::List) {
                ++open->itemNumber;
                break;
            }
        }
    }
    blocks_.push_back({&block});
}

void TRtfWriter::CloseBlock(std::string_view name)
{
    const auto found = std::find_if(blocks_.rbegin(), blocks_.rend(), [&](const TOpenBlock& b) { return b.tag->name == name; });
    EndParagraph();
    if (found != blocks_.rend())
        blocks_.erase(std::prev(found.base()), blocks_.end());
}

void TRtfWriter::OpenInline(std::string_view name, std::string_view properties)
{
    inlines_.push_back({std::string(name), std::string(properties)});
    if (paragraphOpen_) {
        Space();  // a space before the tag keeps the outer formatting
        out_ += "{" + std::string(properties) + ' ';
    }
}

void TRtfWriter::CloseInline(std::string_view name)
{
    const auto found = std::find_if(inlines_.rbegin(), inlines_.rend(), [&](const TOpenInline& i) { return i.name == name; });
    if (found == inlines_.rend())
        return;
    const std::size_t keep = static_cast<std::size_t>(std::prev(found.base()) - inlines_.begin());
    if (paragraphOpen_)
        out_ += std::string(inlines_.size() - keep, '}');
    inlines_.resize(keep);
}

std::string TRtfWriter::Finish()
{
    EndParagraph();
    out_ += "}";
    return std::move(out_);
}

class THtmlReader {
public:
    explicit THtmlReader(std::string_view html) : html_(html) {}
    std::string Convert();

private:
    void Text(std::size_t from, std::size_t to);
    void Tag(const TTag& tag);
    // Past the markup at i ('<') that is not shown, or i when it is text.
    std::size_t SkipMarkup(std::size_t i);

    std::string_view html_;
    TRtfWriter writer_;
};

std::string THtmlReader::Convert()
{
    std::size_t i = 0;
    while (i < html_.size()) {
        const std::size_t markup = html_.find('<', i);
        const std::size_t textEnd = markup == std::string_view::npos ? html_.size() : markup;
        Text(i, textEnd);
        i = textEnd;
        if (i == html_.size())
            break;
        const std::size_t next = SkipMarkup(i);
        if (next == i) {
            writer_.Character('<');
            ++i;
        } else {
            i = next;
        }
    }
    return writer_.Finish();
}

std::size_t THtmlReader::SkipMarkup(std::size_t i)
{
    const std::string_view rest = html_.substr(i);
    if (rest.starts_with("<!--")) {
        const std::size_t end = html_.find("-->", i + 4);
        return end == std::string_view::npos ? i : end + 3;
    }
    const bool declaration = rest.size() > 1 && (rest[1] == '!' || rest[1] == '?');
    const bool tag = rest.size() > 1 && (IsLetter(rest[1]) || (rest[1] == '/' && rest.size() > 2 && IsLetter(rest[2])));
    if (!declaration && !tag)
        return i;
    const std::size_t end = TagEnd(html_, i);
    if (end == std::string_view::npos)
        return i;
    if (declaration)
        return end;
    const TTag parsed = ParseTag(html_.substr(i + 1, end - i - 2));
    if (!parsed.closing && IsRawText(parsed.name)) {
        // Its text is not shown; without its end tag it is shown after all.
        const std::string lowerRest = Lower(html_.substr(end));
        const std::size_t close = lowerRest.find("</" + parsed.name);
        if (close == std::string::npos)
            return end;
        const std::size_t closeEnd = TagEnd(html_, end + close);
        return closeEnd == std::string_view::npos ? end : closeEnd;
    }
    Tag(parsed);
    return end;
}

void THtmlReader::Text(std::size_t from, std::size_t to)
{
    std::size_t i = from;
    while (i < to) {
        if (html_[i] == '&') {
            if (const auto entity = Entity(html_.substr(0, to), i)) {
                writer_.Character(entity->first);
                i += entity->second;
                continue;
            }
        }
        char32_t character = 0;
        i += DecodeCharacter(html_.substr(0, to), i, character);
        writer_.Character(character);
    }
}

void THtmlReader::Tag(const TTag& tag)
{
    if (tag.name == "br") {
        if (!tag.closing)
            writer_.LineBreak();
        return;
    }
    if (const TBlockTag* block = FindBlockTag(tag.name)) {
        if (tag.closing)
            writer_.CloseBlock(tag.name);
        else
            writer_.OpenBlock(*block);
        return;
    }
    if (tag.closing) {
        writer_.CloseInline(tag.name);
        return;
    }
    if (const auto properties = InlineProperties(tag))
        writer_.OpenInline(tag.name, *properties);
}

}  // namespace

std::string HtmlToRtf(std::string_view html)
{
    return THtmlReader(html).Convert();
}

}  // namespace quorvex::win32
