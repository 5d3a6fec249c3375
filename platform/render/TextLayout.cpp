#include "platform/render/TextLayout.h"

#include "platform/render/FaceChooser.h"
#include "platform/render/FontSet.h"
#include "platform/render/LongTextMeasure.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The font libraries keep their caches for the life of the process, as the drawing contexts
// below do; leak checks (when the build has them) are told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libpango\nleak:libcairo\nleak:libglib\nleak:libgobject\nleak:libharfbuzz\n"
           "leak:libfreetype\n";
}

namespace render {

namespace {
PangoContext* makeContext() {
    PangoContext* c = pango_font_map_create_context(FontSet::fontMap());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(c, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(c, 72);
    return c;
}

// One context for measuring and drawing, made once: the font choices it caches are shared by
// every layout. It is never fitted to a target's transform: glyphs are laid out unhinted in
// points and Cairo scales them with the target, and a context fitted to each transform (a key
// shrinking as it is pressed) would make Pango choose every font again for each new scale.
PangoContext* layoutContext() {
    static PangoContext* context = makeContext();
    return context;
}

guint16 channel(double v) { return static_cast<guint16>(std::clamp(v, 0.0, 1.0) * 65535.0 + 0.5); }

void insert(PangoAttrList* list, PangoAttribute* attribute, guint start, guint end) {
    attribute->start_index = start;
    attribute->end_index = end;
    pango_attr_list_insert(list, attribute);
}
}  // namespace

// Text is laid out with its largest font at this size and drawn scaled to its own: Pango
// chooses the faces of each size afresh (a sort of every installed face), and a display that
// fits its text by trying sizes would make it do so for every size it tries.
constexpr double referenceSize = 48;

// A line of this many glyphs or more is drawn near the target's clip only.
constexpr int longLine = 1024;

// A run of a line narrowed, for the time of a drawing, to the glyphs near the clip: an empty
// glyph as wide as those it stands for takes the place of the glyphs on either side, so that
// every glyph drawn keeps its place to the unit, and the run its width. Undone when it goes.
class NarrowedRun {
public:
    NarrowedRun(PangoGlyphString* glyphs, int first, int end, int before, int after) : glyphs_(glyphs) {
        const int n = glyphs->num_glyphs;
        start_ = glyphs->glyphs;
        clusters_ = glyphs->log_clusters;
        count_ = n;
        const int from = first > 0 ? first - 1 : 0;
        const int to = end < n ? end + 1 : n;
        if (first > 0) stand(first - 1, before, 0);
        if (end < n) stand(end, after, 1);
        glyphs->glyphs += from;
        glyphs->log_clusters += from;
        glyphs->num_glyphs = to - from;
    }
    ~NarrowedRun() {
        glyphs_->glyphs = start_;
        glyphs_->log_clusters = clusters_;
        glyphs_->num_glyphs = count_;
        for (const auto& [index, info] : saved_)
            if (index >= 0) start_[index] = info;
    }
    NarrowedRun(const NarrowedRun&) = delete;
    NarrowedRun& operator=(const NarrowedRun&) = delete;

private:
    void stand(int index, int width, int slot) {
        saved_[slot] = {index, start_[index]};
        start_[index].glyph = PANGO_GLYPH_EMPTY;
        start_[index].geometry = {width, 0, 0};
    }
    PangoGlyphString* glyphs_;
    PangoGlyphInfo* start_ = nullptr;
    int* clusters_ = nullptr;
    int count_ = 0;
    std::pair<int, PangoGlyphInfo> saved_[2] = {{-1, {}}, {-1, {}}};
};

// Draws the layout at the current point (0, 0). A long single line read left to right is drawn
// near the clip only: its glyphs elsewhere are not handed to Cairo, which would place each of
// them only to find it outside (a long calculation is mostly scrolled out of view). The glyphs
// drawn, and their places, are those of the whole line, so the picture is the same.
void showLayout(cairo_t* cr, PangoLayout* layout) {
    PangoLayoutLine* line = pango_layout_get_line_count(layout) == 1 ? pango_layout_get_line_readonly(layout, 0) : nullptr;
    int glyphCount = 0;
    bool leftToRight = true;
    for (GSList* l = line != nullptr ? line->runs : nullptr; l != nullptr; l = l->next) {
        const auto* run = static_cast<const PangoGlyphItem*>(l->data);
        glyphCount += run->glyphs->num_glyphs;
        leftToRight = leftToRight && run->item->analysis.level % 2 == 0;
    }
    if (glyphCount < longLine || !leftToRight || pango_layout_is_ellipsized(layout) ||
        cairo_surface_has_show_text_glyphs(cairo_get_target(cr))) {
        pango_cairo_show_layout(cr, layout);
        return;
    }
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    PangoRectangle lineRect;
    pango_layout_iter_get_line_extents(iter, nullptr, &lineRect);
    pango_layout_iter_free(iter);
    // Glyphs whose advance lies within three ems of the clip are drawn (for ink past the advance).
    const double margin = 3 * referenceSize * PANGO_SCALE;
    const double from = x1 * PANGO_SCALE - margin;
    const double to = x2 * PANGO_SCALE + margin;
    std::vector<std::unique_ptr<NarrowedRun>> narrowed;
    long x = lineRect.x;
    for (GSList* l = line->runs; l != nullptr; l = l->next) {
        PangoGlyphString* glyphs = static_cast<PangoGlyphItem*>(l->data)->glyphs;
        const int n = glyphs->num_glyphs;
        long at = x;
        int first = 0;
        while (first < n && at + glyphs->glyphs[first].geometry.width < from) at += glyphs->glyphs[first++].geometry.width;
        const long before = at - x;
        int end = first;
        while (end < n && at <= to) at += glyphs->glyphs[end++].geometry.width;
        const long drawn = at - x;
        const long width = pango_glyph_string_get_width(glyphs);
        narrowed.push_back(std::make_unique<NarrowedRun>(glyphs, first, end, static_cast<int>(before),
                                                         static_cast<int>(width - drawn)));
        x += width;
    }
    pango_cairo_show_layout(cr, layout);
}

TextLayout::TextLayout(const uikit::AttributedString& text) {
    layout_ = pango_layout_new(layoutContext());
    double largest = 0;
    for (const auto& run : text.runs())
        largest = std::max(largest, run.attributes.font.value_or(uikit::Font::systemFont(17)).pointSize);
    if (largest > 0) scale_ = largest / referenceSize;
    // Each run is drawn in pieces of one face each (see FaceChooser); the layout's text is theirs.
    std::string all;
    PangoAttrList* list = pango_attr_list_new();
    for (const auto& run : text.runs()) {
        const uikit::Font font = run.attributes.font.value_or(uikit::Font::systemFont(17));
        const auto runStart = static_cast<guint>(all.size());
        for (const auto& piece : FaceChooser::split(run.text, font)) {
            const auto start = static_cast<guint>(all.size());
            all += piece.text;
            PangoFontDescription* description = pango_font_description_new();
            pango_font_description_set_family(description, piece.families.c_str());
            pango_font_description_set_weight(description, static_cast<PangoWeight>(piece.weight));
            if (piece.italic) pango_font_description_set_style(description, PANGO_STYLE_ITALIC);
            pango_font_description_set_absolute_size(description,
                                                     std::max(font.pointSize / scale_, 0.1) * PANGO_SCALE);
            insert(list, pango_attr_font_desc_new(description), start, static_cast<guint>(all.size()));
            pango_font_description_free(description);
        }
        const auto runEnd = static_cast<guint>(all.size());
        auto add = [&](PangoAttribute* a) { insert(list, a, runStart, runEnd); };
        uikit::Color color = run.attributes.foregroundColor.value_or(uikit::Color::black());
        add(pango_attr_foreground_new(channel(color.red), channel(color.green), channel(color.blue)));
        add(pango_attr_foreground_alpha_new(channel(color.alpha)));
        if (run.attributes.baselineOffset != 0)
            add(pango_attr_rise_new(static_cast<int>(run.attributes.baselineOffset / scale_ * PANGO_SCALE)));
        if (run.attributes.underlineStyle && *run.attributes.underlineStyle != 0)
            add(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    pango_layout_set_text(layout_, all.c_str(), static_cast<int>(all.size()));
    pango_layout_set_attributes(layout_, list);
    pango_attr_list_unref(list);
}

TextLayout::TextLayout(const uikit::AttributedString& text, std::vector<Piece> pieces, double scale)
    : text_(text), pieces_(std::move(pieces)) {
    scale_ = scale;
    for (const Piece& p : pieces_) {
        whole_.width += p.units.width;
        whole_.ascent = std::max(whole_.ascent, p.units.ascent);
        whole_.descent = std::max(whole_.descent, p.units.descent);
    }
}

TextLayout::~TextLayout() {
    if (layout_ != nullptr) g_object_unref(layout_);
}

uikit::Size TextLayout::size() const {
    if (layout_ == nullptr)
        return {static_cast<double>(whole_.width) / PANGO_SCALE * scale_,
                static_cast<double>(whole_.ascent + whole_.descent) / PANGO_SCALE * scale_};
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout_, &ink, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE * scale_,
            static_cast<double>(logical.height) / PANGO_SCALE * scale_};
}

TextLayout::Units TextLayout::units() const {
    if (layout_ == nullptr) return whole_;
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout_, &ink, &logical);
    const long baseline = pango_layout_get_baseline(layout_);
    return {logical.width, baseline - logical.y, logical.y + logical.height - baseline};
}

int TextLayout::unknownGlyphsCount() const {
    if (layout_ == nullptr) return TextLayout(text_).unknownGlyphsCount();
    return pango_layout_get_unknown_glyphs_count(layout_);
}

void TextLayout::draw(cairo_t* cr, const uikit::Rect& rect, uikit::TextAlignment alignment, uikit::LineBreakMode mode,
                      int numberOfLines) {
    fit(rect.size, alignment, mode, numberOfLines);
    show(cr, rect.origin);
}

void TextLayout::fit(uikit::Size room, uikit::TextAlignment alignment, uikit::LineBreakMode mode, int numberOfLines) {
    int width = static_cast<int>(room.width / scale_ * PANGO_SCALE);
    if (layout_ == nullptr) {
        // Made of pieces: one line, aligned left or right, and as wide as the room or narrower
        // (TextLayoutCache::fitted makes it so), as Pango lays out the whole line.
        lineX_ = alignment == uikit::TextAlignment::right && mode != uikit::LineBreakByClipping
                     ? std::max(width, 1) - whole_.width
                     : 0;
        offset_ = {0, (room.height - size().height) / 2};
        if (mode == uikit::LineBreakByClipping && alignment == uikit::TextAlignment::right)
            offset_.x = room.width - size().width;
        return;
    }
    PangoAlignment align = alignment == uikit::TextAlignment::center ? PANGO_ALIGN_CENTER
                           : alignment == uikit::TextAlignment::right ? PANGO_ALIGN_RIGHT
                                                                      : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout_, align);
    if (numberOfLines == 1) {
        pango_layout_set_single_paragraph_mode(layout_, TRUE);
        PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
        if (mode == uikit::LineBreakByTruncatingHead) ellipsize = PANGO_ELLIPSIZE_START;
        else if (mode == uikit::LineBreakByTruncatingMiddle) ellipsize = PANGO_ELLIPSIZE_MIDDLE;
        else if (mode == uikit::LineBreakByTruncatingTail) ellipsize = PANGO_ELLIPSIZE_END;
        pango_layout_set_ellipsize(layout_, ellipsize);
    } else {
        pango_layout_set_wrap(layout_, mode == uikit::LineBreakByCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
        if (numberOfLines > 1) pango_layout_set_height(layout_, -numberOfLines);
        pango_layout_set_ellipsize(layout_, PANGO_ELLIPSIZE_END);
    }
    pango_layout_set_width(layout_, std::max(width, 1));
    uikit::Size s = size();
    offset_ = {0, (room.height - s.height) / 2};
    // Clipped single-line text wider than the rectangle keeps to its alignment edge.
    if (numberOfLines == 1 && mode == uikit::LineBreakByClipping) {
        pango_layout_set_width(layout_, -1);
        double w = size().width;
        if (alignment == uikit::TextAlignment::center) offset_.x = (room.width - w) / 2;
        else if (alignment == uikit::TextAlignment::right) offset_.x = room.width - w;
    }
}

void TextLayout::show(cairo_t* cr, uikit::Point origin) const {
    cairo_save(cr);
    cairo_translate(cr, origin.x + offset_.x, origin.y + offset_.y);
    cairo_scale(cr, scale_, scale_);
    cairo_move_to(cr, 0, 0);
    if (layout_ != nullptr) showLayout(cr, layout_);
    else showPieces(cr);
    cairo_restore(cr);
}

// The pieces near the clip are laid out together and drawn where they are in the line: their
// glyphs, and their places to the unit, are those of the whole line. A target that keeps the
// text (a recording) is given the whole line.
void TextLayout::showPieces(cairo_t* cr) const {
    std::size_t first = 0, last = pieces_.size();
    std::vector<long> at(pieces_.size() + 1, lineX_);
    for (std::size_t i = 0; i < pieces_.size(); ++i) at[i + 1] = at[i] + pieces_[i].units.width;
    if (!cairo_surface_has_show_text_glyphs(cairo_get_target(cr))) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        // Pieces within three ems of the clip are drawn (for ink past the advance), as showLayout.
        const double margin = 3 * referenceSize * PANGO_SCALE;
        const double from = x1 * PANGO_SCALE - margin;
        const double to = x2 * PANGO_SCALE + margin;
        while (first < last && at[first + 1] < from) ++first;
        while (last > first && at[last - 1] > to) --last;
    }
    if (first >= last) return;
    auto layOut = [&] {
        if (shown_ && shownFrom_ == first && shownTo_ == last) return;
        shown_ = std::make_unique<TextLayout>(LongTextMeasure::slice(text_, pieces_[first].from, pieces_[last - 1].to));
        shownFrom_ = first;
        shownTo_ = last;
    };
    layOut();
    // Pieces whose line is lower than the whole line's (a face of their own) would be placed by
    // the current point, which keeps fewer bits: the whole line is drawn then.
    if (pango_layout_get_baseline(shown_->layout_) != whole_.ascent) {
        first = 0;
        last = pieces_.size();
        layOut();
    }
    // Placed by an indent, to the unit: the glyphs' places are then reckoned as the whole
    // line's are.
    if (pango_layout_get_indent(shown_->layout_) != at[first])
        pango_layout_set_indent(shown_->layout_, static_cast<int>(at[first]));
    showLayout(cr, shown_->layout_);
}

TextLayout::Ink TextLayout::ink() const {
    PangoRectangle ink;
    pango_layout_get_extents(layout_, &ink, nullptr);
    return {ink.x, ink.y - pango_layout_get_baseline(layout_), ink.width, ink.height};
}

uikit::Rect TextLayout::inkRect() const {
    PangoRectangle ink, logical;
    if (layout_ != nullptr) {
        pango_layout_get_extents(layout_, &ink, &logical);
    } else {
        // As Pango puts together a line's ink: the union of its parts' that are not empty.
        logical = {static_cast<int>(lineX_), 0, static_cast<int>(whole_.width),
                   static_cast<int>(whole_.ascent + whole_.descent)};
        ink = {0, 0, 0, 0};
        long x = lineX_, left = 0, top = 0, right = 0, bottom = 0;
        bool any = false;
        for (const Piece& p : pieces_) {
            if (p.ink.width != 0 && p.ink.height != 0) {
                const long l = x + p.ink.x, t = whole_.ascent + p.ink.y;
                left = any ? std::min(left, l) : l;
                top = any ? std::min(top, t) : t;
                right = any ? std::max(right, l + p.ink.width) : l + p.ink.width;
                bottom = any ? std::max(bottom, t + p.ink.height) : t + p.ink.height;
                any = true;
            }
            x += p.units.width;
        }
        if (any)
            ink = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                   static_cast<int>(bottom - top)};
    }
    const double x0 = std::min(ink.x, logical.x), y0 = std::min(ink.y, logical.y);
    const double x1 = std::max(ink.x + ink.width, logical.x + logical.width);
    const double y1 = std::max(ink.y + ink.height, logical.y + logical.height);
    const double unit = scale_ / PANGO_SCALE;
    return {offset_.x + x0 * unit, offset_.y + y0 * unit, (x1 - x0) * unit, (y1 - y0) * unit};
}

}  // namespace render
