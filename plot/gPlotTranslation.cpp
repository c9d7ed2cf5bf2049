#include "plot/gPlotTranslation.h"

#include "platform/core/CodePage.h"
#include "platform/core/FileIO.h"

#include <algorithm>

namespace kv {

KV_REGISTER_CLASS(TgPlotTranslationObject, TPersistent, b) {
    b.Prop("OriginalString", &TgPlotTranslationObject::OriginalString,
           &TgPlotTranslationObject::SetOriginalString);
    b.Prop("ReplacementString", &TgPlotTranslationObject::ReplacementString,
           &TgPlotTranslationObject::SetReplacementString);
}

TgPlotTranslationObject::TgPlotTranslationObject(TNotifyEvent onInsert, TNotifyEvent onRemove)
    : FOnInsert(std::move(onInsert)), FOnRemove(std::move(onRemove)) {
    if (FOnInsert)
        FOnInsert(this);
}

TgPlotTranslationObject::~TgPlotTranslationObject() {
    if (FOnRemove)
        FOnRemove(this);
}

// ---------------------------------------------------------------------------------------------------

TgPlotTranslationManager::TgPlotTranslationManager(TNotifyEvent onInsert, TNotifyEvent onRemove) {
    if (!onInsert)
        throw EKvError("OnInsert event handler can not be null");
    if (!onRemove)
        throw EKvError("OnRemove event handler can not be null");
    FOnInsert = std::move(onInsert);
    FOnRemove = std::move(onRemove);
    FOnInsert(this);
}

TgPlotTranslationManager::~TgPlotTranslationManager() {
    Clear();
    if (FOnRemove)
        FOnRemove(this);
}

TgPlotTranslationObject* TgPlotTranslationManager::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FList[static_cast<std::size_t>(index)];
}

void TgPlotTranslationManager::Delete(int index) {
    TgPlotTranslationObject* object = GetItem(index);
    delete object; // it removes itself through the remove callback
    // An object whose removal did not reach this manager must not stay behind as a dangling entry.
    if (auto it = std::find(FList.begin(), FList.end(), object); it != FList.end())
        FList.erase(it);
}

void TgPlotTranslationManager::Clear() {
    while (!FList.empty())
        Delete(0);
}

TgPlotTranslationObject* TgPlotTranslationManager::CreateObject() {
    return new TgPlotTranslationObject(FOnInsert, FOnRemove);
}

int TgPlotTranslationManager::Add() {
    TgPlotTranslationObject* object = CreateObject();
    const auto it = std::find(FList.begin(), FList.end(), object);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TgPlotTranslationManager::NotificationInsert(TObject* sender) {
    auto* object = dynamic_cast<TgPlotTranslationObject*>(sender);
    if (object && std::find(FList.begin(), FList.end(), object) == FList.end())
        FList.push_front(object);
}

void TgPlotTranslationManager::NotificationRemove(TObject* sender) {
    if (auto it = std::find(FList.begin(), FList.end(), sender); it != FList.end())
        FList.erase(it);
}

std::string TgPlotTranslationManager::FindReplacement(const std::string& text) const {
    for (const TgPlotTranslationObject* object : FList)
        if (object->OriginalString() == text)
            return object->ReplacementString();
    return text;
}

void TgPlotTranslationManager::WriteToStream(TgWriter& writer) {
    writer.WriteValue(TValueType::vaCollection);
    // Oldest first: reading puts each pair in front, so the newest wins again after a round trip.
    for (auto it = FList.rbegin(); it != FList.rend(); ++it) {
        writer.WriteListBegin();
        gWriteProperties(writer, **it);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TgPlotTranslationManager::ReadFromStream(TgReader& reader) {
    Clear();
    if (reader.ReadValue() != TValueType::vaCollection)
        return;
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        TgPlotTranslationObject* object = CreateObject();
        gReadProperties(reader, *object);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

void TgPlotTranslationManager::SaveToFile(const std::string& fileName) {
    std::string text;
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
        text += (*it)->OriginalString() + "\t" + (*it)->ReplacementString() + "\r\n";
    std::string error;
    if (!WriteFileAtomic(fileName, ToAnsi(text), &error))
        throw EKvError("Error Saving Translation Data - " + error);
}

void TgPlotTranslationManager::LoadFromFile(const std::string& fileName) {
    const auto size = FileSize(fileName);
    const auto bytes = size ? ReadFileBytes(fileName, static_cast<std::size_t>(*size)) : std::nullopt;
    if (!bytes)
        return;
    TStringList lines;
    lines.SetText(FromAnsi(*bytes));
    Clear();
    try {
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string& line = lines[i];
            const auto tab = line.find('\t');
            if (tab == std::string::npos)
                throw EKvError("Invalid Format - Tab Deliminator Missing");
            TgPlotTranslationObject* object = CreateObject();
            object->SetOriginalString(line.substr(0, tab));
            object->SetReplacementString(line.substr(tab + 1));
        }
    } catch (const std::exception& e) {
        throw EKvError(std::string("Error Loading Data - ") + e.what());
    }
}

} // namespace kv
