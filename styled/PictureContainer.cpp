#include "styled/PictureContainer.h"

#include <algorithm>

namespace kv {

KV_REGISTER_CLASS(TPictureItem, TPersistent, b) {
    b.Prop("Picture", &TPictureItem::Picture, &TPictureItem::SetPicture);
    b.Prop("Name", &TPictureItem::Name, &TPictureItem::SetName);
    b.Prop("Tag", &TPictureItem::Tag, &TPictureItem::SetTag).Default(0);
}

TPictureItem::TPictureItem(TPictureCollection* collection)
    : FPicture(std::make_unique<TStGDIPPicture>()), FCollection(collection) {}
TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TPictureItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FName = s->FName;
    FTag = s->FTag;
    FPicture->Assign(s->FPicture.get());
}

int TPictureItem::Index() const {
    if (!FCollection)
        return -1;
    for (int i = 0; i < FCollection->Count(); ++i)
        if (FCollection->Items(i) == this)
            return i;
    return -1;
}

KV_REGISTER_CLASS(TPictureCollection, TPersistent, b) {
    b.Collection(&TPictureCollection::Count, &TPictureCollection::Items, &TPictureCollection::Add,
                 &TPictureCollection::Clear);
}

TPictureCollection::TPictureCollection(TComponent* owner) : FOwner(owner) {}
TPictureCollection::~TPictureCollection() = default;

TPictureItem* TPictureCollection::Add() {
    FItems.push_back(std::make_unique<TPictureItem>(this));
    return FItems.back().get();
}

TPictureItem* TPictureCollection::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TPictureItem>(this));
    return it->get();
}

void TPictureCollection::Delete(int index) {
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

void TPictureCollection::Clear() {
    FItems.clear();
}

void TPictureCollection::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TPictureCollection*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    if (s == this)
        return;
    Clear();
    for (int i = 0; i < s->Count(); ++i)
        Add()->Assign(s->Items(i));
}

KV_REGISTER_CLASS(TGDIPPictureContainer, TComponent, b) {
    b.Prop("Items", &TGDIPPictureContainer::Items, &TGDIPPictureContainer::SetItems);
    b.Prop("Version", &TGDIPPictureContainer::Version, &TGDIPPictureContainer::SetVersion);
}

TGDIPPictureContainer::TGDIPPictureContainer(TComponent* owner)
    : TComponent(owner), FItems(std::make_unique<TPictureCollection>(this)) {}
TGDIPPictureContainer::~TGDIPPictureContainer() = default;

void TGDIPPictureContainer::SetItems(TPictureCollection* v) {
    if (v && v != FItems.get())
        FItems->Assign(v);
}

TStGDIPPicture* TGDIPPictureContainer::FindPicture(const std::string& name) const {
    const std::string wanted = UpperCase(name);
    for (int i = 0; i < FItems->Count(); ++i)
        if (UpperCase(FItems->Items(i)->Name()) == wanted)
            return FItems->Items(i)->Picture();
    return nullptr;
}

std::uint32_t TGDIPPictureContainer::GetVersionNr() {
    return (1u << 24) | (0u << 16) | (0u << 8) | 0u;
}

std::string TGDIPPictureContainer::Version() const {
    const std::uint32_t v = GetVersionNr();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

} // namespace kv
