#include "platform/gdi/TextLayout.h"

#include "platform/gdi/FontEngine.h"

#include <algorithm>

namespace {

// A line's characters with, per character, whether it carries the "&"
// underline.
struct TMarkedText {
    std::u32string Text;
    std::vector<std::uint8_t> Mark;
    void Push(char32_t c, bool mark)
    {
        Text.push_back(c);
        Mark.push_back(mark ? 1 : 0);
    }
    void Append(const TMarkedText& o, std::size_t from, std::size_t to)
    {
        Text.append(o.Text, from, to - from);
        Mark.insert(Mark.end(), o.Mark.begin() + static_cast<std::ptrdiff_t>(from),
                    o.Mark.begin() + static_cast<std::ptrdiff_t>(to));
    }
};

constexpr char32_t kEllipsis[] = U"...";
// Bounds that keep every sum of positions and widths inside int.
constexpr int kMaxAdvance = 1 << 20;
constexpr int kMaxSpan = 1 << 28;

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }

class TLayouter {
public:
    TLayouter(TTextMeasure& m, bool expandTabs, int tabWidth)
        : FMeasure(m), FExpandTabs(expandTabs), FTabWidth(tabWidth)
    {
    }

    // Advance of c when it starts at x (tab stops count from the line start).
    int Adv(char32_t c, int x)
    {
        if (c == U'\t') {
            if (FExpandTabs && FTabWidth > 0)
                return (x / FTabWidth + 1) * FTabWidth - x;
            c = U' ';
        }
        return std::clamp(FMeasure.Advance(c), -kMaxAdvance, kMaxAdvance);
    }
    int Width(std::u32string_view s, int x = 0)
    {
        long long pos = x;
        for (char32_t c : s)
            pos = std::clamp<long long>(pos + Adv(c, static_cast<int>(pos)), -kMaxSpan, kMaxSpan);
        return static_cast<int>(pos - x);
    }

    std::vector<TMarkedText> Wrap(const TMarkedText& para, int maxWidth);
    TMarkedText EndEllipsis(const TMarkedText& line, int maxWidth);
    TMarkedText PathEllipsis(const TMarkedText& line, int maxWidth);

private:
    TTextMeasure& FMeasure;
    bool FExpandTabs;
    int FTabWidth;
};

// Breaks between words where the next word would pass the right edge. The
// blanks at a break vanish; a word wider than the whole line keeps its own
// line and overflows, as the platform does.
std::vector<TMarkedText> TLayouter::Wrap(const TMarkedText& para, int maxWidth)
{
    std::vector<TMarkedText> lines;
    const std::u32string& t = para.Text;
    const std::size_t n = t.size();
    std::size_t lineStart = 0, lineEnd = 0;  // committed part of the current line
    int lineWidth = 0;
    bool lineHasWord = false;
    std::size_t i = 0;
    while (i < n) {
        std::size_t wsStart = i;
        while (i < n && IsBlank(t[i]))
            ++i;
        std::size_t wordStart = i;
        while (i < n && !IsBlank(t[i]))
            ++i;
        std::size_t wordEnd = i;
        if (wordStart == wordEnd) {
            // trailing blanks of the paragraph: kept on the line they follow
            if (!lineHasWord && lines.empty()) {
                lineEnd = wordEnd;
            } else if (lineHasWord) {
                lineEnd = wordEnd;
            }
            break;
        }
        if (!lineHasWord) {
            if (lines.empty())
                lineStart = wsStart;  // leading blanks of a paragraph stay
            else
                lineStart = wordStart;
            lineWidth = Width(std::u32string_view(t).substr(lineStart, wordEnd - lineStart));
            lineEnd = wordEnd;
            lineHasWord = true;
            continue;
        }
        const int extra = Width(std::u32string_view(t).substr(lineEnd, wordEnd - lineEnd), lineWidth);
        if (lineWidth + extra <= maxWidth) {
            lineWidth += extra;
            lineEnd = wordEnd;
            continue;
        }
        TMarkedText line;
        line.Append(para, lineStart, lineEnd);
        lines.push_back(std::move(line));
        lineStart = wordStart;
        lineEnd = wordEnd;
        lineWidth = Width(std::u32string_view(t).substr(wordStart, wordEnd - wordStart));
    }
    if (lineHasWord || lines.empty()) {
        TMarkedText line;
        line.Append(para, lineStart, std::max(lineStart, lineEnd));
        lines.push_back(std::move(line));
    }
    return lines;
}

// Cuts the line so that it and "..." fit; with no room at all, "..." alone.
TMarkedText TLayouter::EndEllipsis(const TMarkedText& line, int maxWidth)
{
    std::size_t keep = 0;
    int x = 0;
    for (std::size_t k = 0; k < line.Text.size(); ++k) {
        const int next = x + Adv(line.Text[k], x);
        if (next + Width(kEllipsis, next) > maxWidth)
            break;
        x = next;
        keep = k + 1;
    }
    TMarkedText out;
    out.Append(line, 0, keep);
    for (char32_t c : std::u32string_view(kEllipsis))
        out.Push(c, false);
    return out;
}

// Keeps as much as possible of the last path element and shortens the part
// before it from its end: "/home/user/.../file.txt".
TMarkedText TLayouter::PathEllipsis(const TMarkedText& line, int maxWidth)
{
    const std::size_t sep = line.Text.find_last_of(U"\\/");
    if (sep == std::u32string::npos)
        return EndEllipsis(line, maxWidth);
    TMarkedText tail;
    for (char32_t c : std::u32string_view(kEllipsis))
        tail.Push(c, false);
    tail.Append(line, sep, line.Text.size());
    if (Width(tail.Text) > maxWidth)
        return EndEllipsis(tail, maxWidth);
    std::size_t keep = 0;
    for (std::size_t k = 1; k <= sep; ++k) {
        std::u32string candidate = line.Text.substr(0, k) + tail.Text;
        if (Width(candidate) > maxWidth)
            break;
        keep = k;
    }
    TMarkedText out;
    out.Append(line, 0, keep);
    out.Append(tail, 0, tail.Text.size());
    return out;
}

// Removes "&" prefixes: "&&" is a literal "&", "&x" marks x for underlining,
// a final lone "&" is dropped.
TMarkedText StripPrefixes(const std::u32string& text, bool process, bool underline)
{
    TMarkedText out;
    out.Text.reserve(text.size());
    out.Mark.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (process && c == U'&') {
            if (i + 1 >= text.size())
                break;
            c = text[++i];
            out.Push(c, underline && c != U'&');
            continue;
        }
        out.Push(c, false);
    }
    return out;
}

}  // namespace

TTextLayout LayoutText(std::string_view text, const RECT& given, UINT format, TTextMeasure& measure,
                       const TLayoutOptions& givenOptions)
{
    // Far-out rectangles and margins are pulled in so that no sum overflows.
    static constexpr LONG limit = 1 << 27;
    auto clamp = [](LONG v) { return std::clamp(v, -limit, limit); };
    const RECT rect{clamp(given.left), clamp(given.top), clamp(given.right), clamp(given.bottom)};
    TLayoutOptions options = givenOptions;
    options.LeftMargin = clamp(options.LeftMargin);
    options.RightMargin = clamp(options.RightMargin);
    options.TabLength = std::clamp(options.TabLength, 0, 1 << 12);
    TTextLayout result;
    result.Bounds = RECT{rect.left, rect.top, rect.left, rect.top};
    result.UnderlinesOnly = (format & DT_PREFIXONLY) != 0;

    const bool singleLine = (format & DT_SINGLELINE) != 0;
    const bool wordBreak = (format & DT_WORDBREAK) != 0 && !singleLine;
    int tabChars = options.TabLength > 0 ? options.TabLength : 8;
    if (format & DT_TABSTOP) {
        // The tab length takes the format's second byte, so the flags that
        // live there are off.
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~0xFF00u;
    }
    const int tabWidth = tabChars * std::max(1, measure.AveCharWidth());
    TLayouter layouter(measure, (format & DT_EXPANDTABS) != 0, tabWidth);

    const std::u32string chars = Utf8ToCodePoints(text);
    const TMarkedText all = StripPrefixes(chars, (format & DT_NOPREFIX) == 0, (format & DT_HIDEPREFIX) == 0);

    // Paragraphs: CR LF, LF or CR end one; a single-line layout drops them.
    std::vector<TMarkedText> paragraphs(1);
    for (std::size_t i = 0; i < all.Text.size(); ++i) {
        const char32_t c = all.Text[i];
        if (c == U'\r' || c == U'\n') {
            if (singleLine)
                continue;
            if (c == U'\r' && i + 1 < all.Text.size() && all.Text[i + 1] == U'\n')
                ++i;
            paragraphs.emplace_back();
            continue;
        }
        paragraphs.back().Push(c, all.Mark[i] != 0);
    }
    // A break at the very end starts no further line.
    if (paragraphs.size() > 1 && paragraphs.back().Text.empty())
        paragraphs.pop_back();
    if (chars.empty())
        paragraphs.clear();

    const int maxWidth = (rect.right - rect.left) - options.LeftMargin - options.RightMargin;
    std::vector<TMarkedText> lines;
    for (const TMarkedText& para : paragraphs) {
        if (wordBreak) {
            auto wrapped = layouter.Wrap(para, maxWidth);
            for (auto& l : wrapped)
                lines.push_back(std::move(l));
        } else {
            lines.push_back(para);
        }
    }

    // The end ellipsis marks only where the text ends; an over-wide word on an
    // earlier line is merely clipped. The word and path kinds shorten every
    // line that does not fit.
    bool shortened = false;
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        const bool endOnly = !(format & (DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS));
        for (std::size_t li = endOnly && !lines.empty() ? lines.size() - 1 : 0; li < lines.size(); ++li) {
            TMarkedText& line = lines[li];
            if (layouter.Width(line.Text) <= maxWidth)
                continue;
            line = (format & DT_PATH_ELLIPSIS) ? layouter.PathEllipsis(line, maxWidth)
                                               : layouter.EndEllipsis(line, maxWidth);
            shortened = true;
        }
    }

    const int lineHeight = measure.LineHeight() + ((format & DT_EXTERNALLEADING) ? measure.ExternalLeading() : 0);
    const int count = static_cast<int>(lines.size());
    const int totalHeight = count * lineHeight;
    int maxLine = 0;
    result.Lines.reserve(lines.size());
    for (int li = 0; li < count; ++li) {
        const TMarkedText& line = lines[static_cast<std::size_t>(li)];
        const int width = layouter.Width(line.Text);
        maxLine = std::max(maxLine, width);
        int x = rect.left + options.LeftMargin;
        if (format & DT_CENTER)
            x += (maxWidth - width) / 2;
        else if (format & DT_RIGHT)
            x = rect.right - options.RightMargin - width;
        int y = rect.top + li * lineHeight;
        if (singleLine && (format & DT_VCENTER))
            y = rect.top + ((rect.bottom - rect.top) - lineHeight) / 2;
        else if (singleLine && (format & DT_BOTTOM))
            y = rect.bottom - lineHeight;

        TLayoutLine out;
        out.Y = y;
        TLayoutRun run;
        run.X = x;
        int pos = 0;
        for (std::size_t k = 0; k < line.Text.size(); ++k) {
            char32_t c = line.Text[k];
            const int adv = layouter.Adv(c, pos);
            if (line.Mark[k])
                out.Underlines.push_back({x + pos, x + pos + adv});
            if (c == U'\t') {
                if (format & DT_EXPANDTABS) {
                    if (!run.Text.empty())
                        out.Runs.push_back(std::move(run));
                    run = TLayoutRun{};
                    run.X = x + pos + adv;
                    pos = std::clamp(pos + adv, -kMaxSpan, kMaxSpan);
                    continue;
                }
                c = U' ';
            }
            run.Text.push_back(c);
            pos = std::clamp(pos + adv, -kMaxSpan, kMaxSpan);
        }
        if (!run.Text.empty())
            out.Runs.push_back(std::move(run));
        result.Lines.push_back(std::move(out));
    }

    result.Bounds.right = rect.left + maxLine + options.LeftMargin + options.RightMargin;
    result.Bounds.bottom = rect.top + totalHeight;
    result.Height = totalHeight;
    if (count > 0 && singleLine && (format & (DT_VCENTER | DT_BOTTOM)) && !(format & DT_CALCRECT))
        result.Height = result.Lines.front().Y - rect.top + lineHeight;

    if (shortened) {
        for (int li = 0; li < count; ++li) {
            if (li > 0)
                result.Shown += "\r\n";
            for (char32_t c : lines[static_cast<std::size_t>(li)].Text)
                AppendUtf8(result.Shown, c);
        }
    } else {
        result.Shown.assign(text);
    }
    return result;
}
