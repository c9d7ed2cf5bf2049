#pragma once
// The plot's translation list: original/replacement pairs for the texts a plot shows (popup items,
// editor captions), filled in the window layout, by code or from a tab-separated text file. The most
// recently added pair for a text wins; files and streams hold the pairs oldest first, so saving and
// loading keep which duplicate applies.

#include "plot/gPropStream.h"

#include "platform/core/Properties.h"

#include <deque>
#include <string>

namespace kv {

class TgPlotTranslationObject : public TPersistent {
    KV_CLASS(TgPlotTranslationObject)
public:
    // Announces itself through onInsert at once.
    TgPlotTranslationObject(TNotifyEvent onInsert, TNotifyEvent onRemove);
    // Announces its removal through the remove callback.
    ~TgPlotTranslationObject() override;

    const std::string& OriginalString() const { return FOriginalString; }
    void SetOriginalString(const std::string& v) { FOriginalString = v; }
    const std::string& ReplacementString() const { return FReplacementString; }
    void SetReplacementString(const std::string& v) { FReplacementString = v; }

private:
    TNotifyEvent FOnInsert, FOnRemove;
    std::string FOriginalString = "Unknown";
    std::string FReplacementString = "Unknown";
};

class TgPlotTranslationManager : public TObject {
public:
    // Raises "OnInsert event handler can not be null" / "OnRemove event handler can not be null";
    // then announces itself through onInsert.
    TgPlotTranslationManager(TNotifyEvent onInsert, TNotifyEvent onRemove);
    ~TgPlotTranslationManager() override;

    int Count() const { return static_cast<int>(FList.size()); }
    // Newest first. Raises "List index out of bounds (n)" outside 0..Count-1.
    TgPlotTranslationObject* GetItem(int index) const;
    void Clear();
    void Delete(int index);
    // A new pair with the manager's callbacks; it enters the list (at the front) by announcing itself.
    TgPlotTranslationObject* CreateObject();
    int Add();

    void NotificationInsert(TObject* sender);
    void NotificationRemove(TObject* sender);

    // The replacement of the newest pair whose original equals `text` exactly; else `text`.
    std::string FindReplacement(const std::string& text) const;

    bool DoWriteToStream() const { return Count() != 0; }
    void WriteToStream(TgWriter& writer);
    void ReadFromStream(TgReader& reader);

    // One line per pair, oldest first: original, a tab, replacement; CR LF line ends, system code page.
    // Failures raise "Error Saving Translation Data - " + the reason.
    void SaveToFile(const std::string& fileName);
    // Replaces the pairs by the file's lines (a file that cannot be read changes nothing). A line without
    // a tab raises "Error Loading Data - Invalid Format - Tab Deliminator Missing"; pairs read before it
    // stay.
    void LoadFromFile(const std::string& fileName);

private:
    std::deque<TgPlotTranslationObject*> FList; // newest first
    TNotifyEvent FOnInsert, FOnRemove;
};

} // namespace kv
