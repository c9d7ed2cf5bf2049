#pragma once
// A rich-text edit that holds one rich-text document (read and written as RTF) and lays it out into a
// rectangle of any canvas at a given resolution, as the old rich-edit control's range formatting did.
// It is used hidden, as the rich-text label's renderer; it shows nothing of its own.

#include "platform/gui/Controls.h"

#include <cstdint>

class QPainter;
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The document model and its reader: groups, font and colour tables, bold, italic, underline, size,
// alignment, paragraphs, \'hh bytes in the document's ANSI code page (double-byte code pages such as
// GBK included) and \uN with its fallback count. Anything else is skipped.

enum class TRtfAlign { Left, Center, Right, Justify };

struct TRtfRun {
    std::string text; // UTF-8
    int font = 0;     // index into fonts
    int sizeHalfPoints = 24;
    bool bold = false, italic = false, underline = false;
    std::uint32_t colour = 0; // 0x00RRGGBB
    bool operator==(const TRtfRun&) const = default;
};

struct TRtfParagraph {
    TRtfAlign align = TRtfAlign::Left;
    std::vector<TRtfRun> runs;
    std::string Text() const;
};

struct TRtfFont {
    std::string name;
    int charset = 0;
};

struct TRtfDocument {
    std::vector<TRtfFont> fonts;
    std::vector<std::uint32_t> colours; // 0x00RRGGBB; index 0 is the automatic colour (black)
    std::vector<TRtfParagraph> paragraphs;
    std::string Text() const; // paragraphs joined by "\n"
};

// The code page of \ansicpg N (or of a font's \fcharset); "CP1252" when unknown.
std::string RtfCodePageName(int codePage);

// Parses any bytes; text that is not RTF becomes plain paragraphs. Never throws for bad input.
TRtfDocument ParseRtf(std::string_view rtf);
// Writes the document back as RTF (ANSI code page 1252, non-ASCII as \uN?).
std::string WriteRtf(const TRtfDocument& doc);

class TRichEdit : public TWinControl {
    KV_CLASS(TRichEdit)
public:
    explicit TRichEdit(TComponent* owner);
    ~TRichEdit() override;

    // The document's plain text, one line per paragraph. Changing the lines replaces the document
    // with plain paragraphs in the default attributes.
    TStrings* Lines() const { return FLines.get(); }
    const TRtfDocument& Document() const { return FDocument; }
    void SetDocument(TRtfDocument doc);
    // Reads RTF (or, with PlainText, plain text) from the bytes; writes the document as RTF.
    void LoadFromBytes(const std::string& bytes);
    std::string SaveToBytes() const;

    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { FBorderStyle = v; }
    // EM_SETBKGNDCOLOR: the colour behind the text; clNone leaves the background alone.
    TColor BackgroundColor() const { return FBackground; }
    void SetBackgroundColor(TColor v) { FBackground = v; }
    // Resets the attributes new text gets.
    void ResetSelAttributes() {}

    // EM_FORMATRANGE: lays the document out into `rcTwips` (1/1440 inch) of a surface with dpiX x dpiY
    // pixels per inch; draws when `render`, else only measures. Returns the index after the last
    // character laid out.
    struct TFormatRange {
        QImage* target = nullptr;
        QPainter* painter = nullptr; // drawn through this when there is no target image
        int dpiX = 96, dpiY = 96;
        TRect rcTwips, rcPageTwips;
        int cpMin = 0, cpMax = -1;
    };
    int FormatRange(const TFormatRange& range, bool render);
    // The twips rectangle of a pixel rectangle at dpiX x dpiY (0 counts as 96), as the label computes it.
    static TRect TwipsRect(const TRect& pixels, int dpiX, int dpiY);

    // Prints the document through the platform's printing with the job caption; false when the job
    // could not be started.
    bool Print(const std::string& caption);

    TNotifyEvent OnResizeRequest;

private:
    void LinesChanged();
    std::unique_ptr<TStrings> FLines;
    TRtfDocument FDocument;
    bool FPlainText = false;
    bool FWordWrap = true;
    bool FSyncing = false;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    TColor FBackground = clNone;
};

} // namespace kv
