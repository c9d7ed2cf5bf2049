#pragma once
// A label that shows the rich-text document stored in its RichText property (one character per byte
// of the RTF), laid out by a hidden rich edit straight into the label's canvas.

#include "platform/gui/Controls.h"

#include <memory>
#include <string>

namespace kv {

class TRichEdit;

class TRTFLabel : public TGraphicControl {
    KV_CLASS(TRTFLabel)
public:
    explicit TRTFLabel(TComponent* owner);
    ~TRTFLabel() override;
    void Loaded() override;
    void Paint(TCanvas& canvas) override;
    bool OpaqueBackground() const override { return !FTransparent; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

    const std::string& RichText() const { return FRichText; }
    void SetRichText(const std::string& v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    static std::uint32_t GetVersionNr();

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // The hidden rich edit, emptied for filling; nullptr while the label has no parent.
    TRichEdit* RTF();
    // Captures the hidden rich edit's document into RichText and repaints.
    void ShowRTF();
    void CopyFromRichEdit(TRichEdit* richEdit);
    void CopyToRichEdit(TRichEdit* richEdit) const;
    void Print(const std::string& caption);
    void PaintTo(TCanvas& canvas);
    // Renders into r of the canvas; returns the twips rectangle used.
    TRect RenderInto(TCanvas& canvas, const TRect& r, int dpiX, int dpiY);
    int RenderCount() const { return FRenderCount; }

private:
    void AttachEdit();
    void DetachEdit();
    std::unique_ptr<TRichEdit> FRichEdit;
    std::string FRichText;
    int FUpdateCount = 0;
    bool FWordWrap = false;
    bool FPainting = false;
    int FRenderCount = 0;
};

} // namespace kv
