#pragma once
// A named list of pictures that other styled controls refer to by name.

#include "styled/gdiplus/GDIPPicture.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TPictureCollection;

class TPictureItem : public TPersistent {
    KV_CLASS(TPictureItem)
public:
    explicit TPictureItem(TPictureCollection* collection = nullptr);
    ~TPictureItem() override;
    void Assign(const TPersistent* source) override;
    TStGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TStGDIPPicture* v) { FPicture->Assign(v); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    TPictureCollection* Collection() const { return FCollection; }
    int Index() const;

private:
    std::unique_ptr<TStGDIPPicture> FPicture;
    std::string FName;
    int FTag = 0;
    TPictureCollection* FCollection;
};

class TPictureCollection : public TPersistent {
    KV_CLASS(TPictureCollection)
public:
    explicit TPictureCollection(TComponent* owner);
    ~TPictureCollection() override;
    TComponent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TPictureItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)).get(); }
    TPictureItem* Add();
    TPictureItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void Assign(const TPersistent* source) override;

private:
    TComponent* FOwner;
    std::vector<std::unique_ptr<TPictureItem>> FItems;
};

class TGDIPPictureContainer : public TComponent {
    KV_CLASS(TGDIPPictureContainer)
public:
    explicit TGDIPPictureContainer(TComponent* owner);
    ~TGDIPPictureContainer() override;
    TPictureCollection* Items() const { return FItems.get(); }
    void SetItems(TPictureCollection* v);
    // The first item whose name equals `name` ignoring case, or nullptr.
    virtual TStGDIPPicture* FindPicture(const std::string& name) const;
    std::string Version() const;
    void SetVersion(const std::string&) {}
    static std::uint32_t GetVersionNr();

private:
    std::unique_ptr<TPictureCollection> FItems;
};

} // namespace kv
