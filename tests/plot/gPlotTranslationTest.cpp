#include "plot/gPlotTranslation.h"

#include "platform/core/FileIO.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace kv;

namespace {

// Routes the callbacks as the plot's master manager does.
class Translations : public ::testing::Test {
protected:
    void SetUp() override {
        FManager = std::make_unique<TgPlotTranslationManager>(
            [this](TObject* s) {
                if (auto* m = dynamic_cast<TgPlotTranslationManager*>(s))
                    FAnnounced = m;
                else
                    FAnnounced->NotificationInsert(s);
            },
            [this](TObject* s) {
                if (FAnnounced && s != FAnnounced)
                    FAnnounced->NotificationRemove(s);
            });
    }
    void AddPair(const std::string& original, const std::string& replacement) {
        TgPlotTranslationObject* o = FManager->CreateObject();
        o->SetOriginalString(original);
        o->SetReplacementString(replacement);
    }
    std::string File(const char* name) { return ::testing::TempDir() + name; }
    static std::string Read(const std::string& path) {
        return ReadFileBytes(path, 1 << 20).value_or("<none>");
    }
    static void Write(const std::string& path, const std::string& text) {
        ASSERT_TRUE(WriteFileAtomic(path, text));
    }

    TgPlotTranslationManager* FAnnounced = nullptr;
    std::unique_ptr<TgPlotTranslationManager> FManager;
};

template <class F> std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const EKvError& e) {
        return e.what();
    }
    return "<no error>";
}

} // namespace

TEST(TranslationManager, RefusesMissingCallbacks) {
    const TNotifyEvent none;
    const TNotifyEvent some = [](TObject*) {};
    EXPECT_EQ(ErrorOf([&] { TgPlotTranslationManager m(none, some); }),
              "OnInsert event handler can not be null");
    EXPECT_EQ(ErrorOf([&] { TgPlotTranslationManager m(some, none); }),
              "OnRemove event handler can not be null");
}

TEST_F(Translations, NewestPairWinsAndEmptyManagerReturnsTheText) {
    EXPECT_EQ(FAnnounced, FManager.get());
    EXPECT_EQ(FManager->FindReplacement("Edit..."), "Edit...");
    EXPECT_EQ(FManager->Add(), 0);
    EXPECT_EQ(FManager->GetItem(0)->OriginalString(), "Unknown");
    EXPECT_EQ(FManager->GetItem(0)->ReplacementString(), "Unknown");
    AddPair("Edit...", "Bearbeiten...");
    AddPair("Edit...", "Modifier...");
    EXPECT_EQ(FManager->Count(), 3);
    EXPECT_EQ(FManager->FindReplacement("Edit..."), "Modifier...");
    EXPECT_EQ(FManager->FindReplacement("edit..."), "edit..."); // case matters
    FManager->Delete(0);
    EXPECT_EQ(FManager->FindReplacement("Edit..."), "Bearbeiten...");
    FManager->Clear();
    EXPECT_EQ(FManager->Count(), 0);
}

TEST_F(Translations, FileRoundTripKeepsWhichDuplicateApplies) {
    const std::string path = File("translations.txt");
    Write(path, "Edit...\tBearbeiten...\r\nEdit...\tModifier...\r\nA\tB\tC\r\n");
    FManager->LoadFromFile(path);
    ASSERT_EQ(FManager->Count(), 3);
    EXPECT_EQ(FManager->FindReplacement("Edit..."), "Modifier...");
    EXPECT_EQ(FManager->FindReplacement("A"), "B\tC"); // the second tab belongs to the replacement

    // Saved oldest first: the file comes back as it was, and loading it again changes nothing.
    const std::string saved = File("saved.txt");
    FManager->SaveToFile(saved);
    EXPECT_EQ(Read(saved), "Edit...\tBearbeiten...\r\nEdit...\tModifier...\r\nA\tB\tC\r\n");
    FManager->LoadFromFile(saved);
    EXPECT_EQ(FManager->FindReplacement("Edit..."), "Modifier...");
}

TEST_F(Translations, LoadErrors) {
    AddPair("Keep", "Me");
    FManager->LoadFromFile(File("does-not-exist.txt"));
    EXPECT_EQ(FManager->FindReplacement("Keep"), "Me");

    const std::string path = File("bad.txt");
    Write(path, " X \t Y \r\n\r\nZ\tW\r\n");
    EXPECT_EQ(ErrorOf([&] { FManager->LoadFromFile(path); }),
              "Error Loading Data - Invalid Format - Tab Deliminator Missing");
    ASSERT_EQ(FManager->Count(), 1); // the pair before the empty line stays, nothing trimmed
    EXPECT_EQ(FManager->FindReplacement(" X "), " Y ");
    EXPECT_EQ(FManager->FindReplacement("Keep"), "Keep");

    EXPECT_EQ(ErrorOf([&] {
                  FManager->SaveToFile("/nonexistent-folder/t.txt");
              }).rfind("Error Saving Translation Data - ", 0),
              0u);
}

TEST_F(Translations, StreamRoundTripKeepsOrder) {
    AddPair("Edit...", "First");
    AddPair("Line\r\nBreak", "Second");
    AddPair("Edit...", "Third");
    ASSERT_TRUE(FManager->DoWriteToStream());
    TgWriter w;
    FManager->WriteToStream(w);

    std::unique_ptr<TgPlotTranslationManager> copy;
    copy = std::make_unique<TgPlotTranslationManager>(
        [&](TObject* s) {
            if (!dynamic_cast<TgPlotTranslationManager*>(s))
                copy->NotificationInsert(s);
        },
        [&](TObject* s) {
            if (copy && s != copy.get())
                copy->NotificationRemove(s);
        });
    TgReader r = TgReader::FromText(w.Text());
    copy->ReadFromStream(r);
    ASSERT_EQ(copy->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->GetItem(i)->OriginalString(), FManager->GetItem(i)->OriginalString());
        EXPECT_EQ(copy->GetItem(i)->ReplacementString(), FManager->GetItem(i)->ReplacementString());
    }
    EXPECT_EQ(copy->FindReplacement("Edit..."), "Third");
    EXPECT_EQ(copy->FindReplacement("Line\r\nBreak"), "Second");
}
