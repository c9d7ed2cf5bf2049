// The plot control's files: the property file, the annotation file, the data files (text columns or
// compact binary) and the running log of rows added through AddDataArray.

#include "plot/gClasses.h"
#include "plot/gDraw.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotTimeChannel.h"
#include "plot/gPropText.h"
#include "plot/gXYPlotChannel.h"

#include "platform/core/FileIO.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kv {

namespace {

// A file asking for more objects of one kind than this is corrupt: nobody builds such a plot, and
// honouring the count would create objects until memory runs out.
constexpr int kFilesMaxObjectCount = 4096;

const char kFilesCompactTag[] = "Compact Interval";
// Values at or above these mark "no point here" and "end of data" in compact files.
constexpr float kFilesNoPoint = 1e38f;
constexpr float kFilesEndMark = 2e38f;

// One kind of object in the property file: its prefix, count, item and adder.
struct TFilesKind {
    const char* prefix;
    std::function<int()> count;
    std::function<TObject*(int)> item;
    std::function<int()> add;
};

std::vector<TFilesKind> FilesKinds(TgPlotComponent& p) {
    return {
        {"Channel", [&] { return p.ChannelCount(); }, [&](int i) { return p.GetChannel(i); },
         [&] { return p.AddChannel(); }},
        {"XAxis", [&] { return p.XAxisCount(); }, [&](int i) { return p.GetXAxis(i); },
         [&] { return p.AddXAxis(); }},
        {"YAxis", [&] { return p.YAxisCount(); }, [&](int i) { return p.GetYAxis(i); },
         [&] { return p.AddYAxis(); }},
        {"ToolBar", [&] { return p.ToolBarCount(); }, [&](int i) { return p.GetToolBar(i); },
         [&] { return p.AddToolBar(); }},
        {"Legend", [&] { return p.LegendCount(); }, [&](int i) { return p.GetLegend(i); },
         [&] { return p.AddLegend(); }},
        {"Table", [&] { return p.TableCount(); }, [&](int i) { return p.GetTable(i); },
         [&] { return p.AddTable(); }},
        {"Label", [&] { return p.LabelCount(); }, [&](int i) { return p.GetLabel(i); },
         [&] { return p.AddLabel(); }},
        {"DataView", [&] { return p.DataViewCount(); }, [&](int i) { return p.GetDataView(i); },
         [&] { return p.AddDataView(); }},
        {"DataCursor", [&] { return p.DataCursorCount(); }, [&](int i) { return p.GetDataCursor(i); },
         [&] { return p.AddDataCursor(); }},
        {"Limit", [&] { return p.LimitCount(); }, [&](int i) { return p.GetLimit(i); },
         [&] { return p.AddLimit(); }},
    };
}

int FilesParseInt(const std::string& text) {
    const std::string t = gTrimText(text);
    std::string_view v = t;
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    int result = 0;
    auto res = std::from_chars(v.data(), v.data() + v.size(), result);
    if (v.empty() || res.ec != std::errc() || res.ptr != v.data() + v.size())
        throw EKvError("Invalid Data");
    return result;
}

// The count line `key` (0 when missing); a count beyond what any plot holds is refused.
int FilesTakeCount(const std::string& key, TStrings& lines) {
    std::string value;
    if (!gExtractPropertyValue(key, value, lines))
        return 0;
    const int n = FilesParseInt(value);
    if (n > kFilesMaxObjectCount)
        throw EKvError("Invalid Data");
    return n;
}

void FilesAppendFloat(std::string& out, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::string FilesYText(const TgPlotChannelCustom& c, int index) {
    if (c.GetDataNull(index))
        return "Null";
    if (c.GetDataEmpty(index))
        return "Empty";
    return gChannelValueText(c.GetDataY(index));
}

// Cuts `text` at every `separator`; a line without one is one field.
std::vector<std::string> FilesSplitFields(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        fields.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return fields;
        start = at + 1;
    }
}

// A null or empty marker adds a flagged point at X; anything else must be a number.
void FilesAddTextPoint(TgPlotChannelCustom& c, double x, const std::string& yText) {
    if (SameText(yText, "NULL"))
        c.AddPoint(x, 0, true, false);
    else if (SameText(yText, "EMPTY"))
        c.AddPoint(x, 0, false, true);
    else
        c.AddXY(x, gChannelTextValue(yText));
}

// Reads compact binary data (the tag line, the channel count line, then float rows).
void FilesReadCompact(TgPlotComponent& plot, const std::string& bytes) {
    std::size_t pos = 0;
    auto readLine = [&] {
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string::npos)
            throw EKvError("Invalid Data");
        std::string line = bytes.substr(pos, lf - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        pos = lf + 1;
        return line;
    };
    readLine();
    const int n = FilesParseInt(readLine());
    // No channels: no row could ever end, so there is nothing to read.
    if (n <= 0)
        return;
    auto readFloat = [&] {
        if (bytes.size() - pos < 4)
            throw EKvError("Invalid Data");
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= std::uint32_t(static_cast<unsigned char>(bytes[pos + std::size_t(i)])) << (8 * i);
        pos += 4;
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    };
    for (int r = 0; pos < bytes.size(); ++r) {
        for (int j = 0; j < n; ++j) {
            const float x = r < 2 ? readFloat() : 0.0f;
            if (x > 1.5e38f)
                return;
            const float y = readFloat();
            if (y > 1.5e38f)
                return;
            if (x < 9e37f && y < 9e37f && j < plot.ChannelCount())
                plot.GetChannel(j)->AddXY(x, y);
        }
    }
}

// Turns the layout manager back on and closes the update block however a load ends.
struct TFilesLoadGuard {
    TgPlotComponent* plot;
    bool layout;
    ~TFilesLoadGuard() {
        if (layout)
            plot->EnableLayoutManager();
        plot->EndUpdate();
    }
};

void FilesWriteOrRaise(const std::string& fileName, const std::string& data) {
    std::string error;
    if (!WriteFileAtomic(fileName, data, &error))
        throw EKvError(error);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Property and annotation files

void TgPlotComponent::SavePropertiesToFile(const std::string& fileName) {
    try {
        const std::vector<TFilesKind> kinds = FilesKinds(*this);
        TStringList lines;
        lines.Add("File Type = Plot Config");
        for (const TFilesKind& k : kinds)
            lines.Add(std::string(k.prefix) + "Count = " + std::to_string(k.count()));
        lines.Add("DataViewZHorz = " + std::to_string(DataViewZHorz()));
        lines.Add("DataViewZVert = " + std::to_string(DataViewZVert()));
        for (const TFilesKind& k : kinds)
            for (int i = 0; i < k.count(); ++i)
                gWritePropertyText(*k.item(i), k.prefix + std::to_string(i), lines, FDifferentialPropertySave,
                                   nullptr);
        TStringList exclude;
        exclude.Add("Name");
        exclude.Add("OPCItems");
        AddSaveExclusions(exclude);
        if (!OptionSaveAllProperties())
            for (const char* n : {"Left", "Top", "Width", "Height", "Align", "Cursor", "ShowHint", "Tag",
                                  "Visible", "Enabled", "Hint", "HelpContext", "HelpKeyword"})
                exclude.Add(n);
        gWritePropertyText(*this, "", lines, FDifferentialPropertySave, &exclude);
        gSavePropertyLinesToFile(lines, fileName);
    } catch (const std::exception& e) {
        throw EKvError("Error Saving Properties - " + std::string(e.what()));
    }
    FLastPropertiesFileName = fileName;
    if (OnAfterSaveProperties)
        OnAfterSaveProperties(this);
}

void TgPlotComponent::LoadPropertiesFromFile(const std::string& fileName) {
    try {
        if (OnBeforeLoadProperties)
            OnBeforeLoadProperties(this);
        TStringList lines;
        gLoadPropertyLinesFromFile(fileName, lines);
        std::string type;
        if (!gExtractPropertyValue("File Type", type, lines) || !SameText(type, "Plot Config"))
            throw EKvError("Incompatible Plot Configuration File Type");
        // Counts are checked before anything is removed, so a corrupt file leaves the plot as it was.
        const std::vector<TFilesKind> kinds = FilesKinds(*this);
        std::vector<int> counts;
        for (const TFilesKind& k : kinds)
            counts.push_back(FilesTakeCount(std::string(k.prefix) + "Count", lines));
        std::string zHorz, zVert;
        const bool hasZHorz = gExtractPropertyValue("DataViewZHorz", zHorz, lines);
        const bool hasZVert = gExtractPropertyValue("DataViewZVert", zVert, lines);

        DisableLayoutManager();
        BeginUpdate();
        TFilesLoadGuard guard{this, true};
        if (hasZHorz)
            SetDataViewZHorz(FilesParseInt(zHorz));
        if (hasZVert)
            SetDataViewZVert(FilesParseInt(zVert));
        RemoveAllLegends();
        RemoveAllTables();
        RemoveAllLabels();
        RemoveAllLimits();
        RemoveAllXAxes();
        RemoveAllYAxes();
        RemoveAllDataViews();
        RemoveAllChannels();
        RemoveAllAnnotations();
        RemoveAllDataCursors();
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            const std::string kind = kinds[k].prefix;
            for (int i = 0; i < counts[k]; ++i) {
                TObject* object = nullptr;
                if (kind == "ToolBar") {
                    // Toolbars are kept: every section applies to the one the plot has.
                    if (ToolBarCount() == 0)
                        break;
                    object = GetToolBar(0);
                } else if (kind == "Label" && i == 0 && LabelCount() != 0) {
                    object = GetLabel(0); // the title stays
                } else {
                    object = kinds[k].item(kinds[k].add());
                    if (kind == "Channel")
                        static_cast<TgPlotChannelCustom*>(object)->SetColor(clRed);
                }
                gReadPropertyText(*object, kind + std::to_string(i), lines);
            }
        }
        gReadPropertyText(*this, "", lines);
    } catch (const std::exception& e) {
        throw EKvError("Error Loading Properties - " + std::string(e.what()));
    }
    FLastPropertiesFileName = fileName;
    if (OnAfterLoadProperties)
        OnAfterLoadProperties(this);
}

void TgPlotComponent::SaveAnnotationsToFile(const std::string& fileName) {
    try {
        TStringList lines;
        lines.Add("AnnotationCount = " + std::to_string(AnnotationCount()));
        for (int i = 0; i < AnnotationCount(); ++i)
            gWritePropertyText(*GetAnnotation(i), "Annotation" + std::to_string(i), lines, true, nullptr);
        gSavePropertyLinesToFile(lines, fileName);
    } catch (const std::exception& e) {
        throw EKvError("Error Saving Annotations - " + std::string(e.what()));
    }
}

void TgPlotComponent::LoadAnnotationsFromFile(const std::string& fileName) {
    try {
        TStringList lines;
        gLoadPropertyLinesFromFile(fileName, lines);
        const int count = FilesTakeCount("AnnotationCount", lines);
        BeginUpdate();
        TFilesLoadGuard guard{this, false};
        RemoveAllAnnotations();
        for (int i = 0; i < count; ++i)
            gReadPropertyText(*GetAnnotation(AddAnnotation()), "Annotation" + std::to_string(i), lines);
    } catch (const std::exception& e) {
        throw EKvError("Error Loading Annotations - " + std::string(e.what()));
    }
}

// ---------------------------------------------------------------------------------------------------
// Data files

void TgPlotComponent::SaveDataToFile(const std::string& fileName) {
    try {
        const int channels = ChannelCount();
        int rows = 0;
        for (int c = 0; c < channels; ++c)
            rows = std::max(rows, GetChannel(c)->Count());
        std::string data;
        if (FDataFileFormat == TgPlotDataFileFormat::ipdffCompactInterval) {
            data = std::string(kFilesCompactTag) + "\r\n" + std::to_string(channels) + "\r\n";
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < channels; ++c) {
                    const TgPlotChannelCustom* ch = GetChannel(c);
                    const bool has = r < ch->Count();
                    if (r < 2)
                        FilesAppendFloat(data, has ? float(ch->GetDataX(r)) : kFilesNoPoint);
                    FilesAppendFloat(data, has ? float(ch->GetDataY(r)) : kFilesNoPoint);
                }
            FilesAppendFloat(data, kFilesEndMark);
        } else {
            const char sep = GetDataFileSeparatorChar();
            for (int c = 0; c < channels; ++c) {
                if (c)
                    data += sep;
                data += GetChannel(c)->TitleText() + "(X)" + sep + GetChannel(c)->TitleText() + "(Y)";
            }
            data += "\r\n";
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < channels; ++c) {
                    const TgPlotChannelCustom* ch = GetChannel(c);
                    if (c)
                        data += sep;
                    if (r < ch->Count())
                        data += gChannelValueText(ch->GetDataX(r)) + sep + FilesYText(*ch, r);
                    else
                        data += sep;
                }
                data += "\r\n";
            }
        }
        FilesWriteOrRaise(fileName, data);
    } catch (const std::exception& e) {
        throw EKvError("Error Saving Data - " + std::string(e.what()));
    }
    FLastDataFileName = fileName;
    if (OnAfterSaveData)
        OnAfterSaveData(this);
}

void TgPlotComponent::LoadDataFromFile(const std::string& fileName) {
    try {
        BeginUpdate();
        TFilesLoadGuard guard{this, false};
        const std::string bytes = gReadWholeFileOrRaise(fileName);
        std::string first = bytes.substr(0, bytes.find('\n'));
        if (!first.empty() && first.back() == '\r')
            first.pop_back();
        if (SameText(first, kFilesCompactTag)) {
            FilesReadCompact(*this, bytes);
        } else {
            std::vector<std::string> lines = gSplitLines(bytes);
            if (lines.empty())
                return;
            const char sep = lines[0].find('\t') != std::string::npos ? '\t' : ',';
            const bool logRows = SameText(lines[0].substr(0, 3), "(X)");
            double x = 0;
            for (std::size_t l = 1; l < lines.size(); ++l) {
                const std::vector<std::string> f = FilesSplitFields(lines[l], sep);
                if (logRows) {
                    if (const std::string t = gTrimText(f[0]); !t.empty())
                        x = gChannelTextValue(t);
                    for (std::size_t k = 1; k < f.size() && int(k) - 1 < ChannelCount(); ++k)
                        if (const std::string y = gTrimText(f[k]); !y.empty())
                            FilesAddTextPoint(*GetChannel(int(k) - 1), x, y);
                } else {
                    for (std::size_t p = 0; 2 * p + 1 < f.size() && int(p) < ChannelCount(); ++p) {
                        const std::string xt = gTrimText(f[2 * p]), yt = gTrimText(f[2 * p + 1]);
                        if (xt.empty() || yt.empty())
                            continue;
                        FilesAddTextPoint(*GetChannel(int(p)), gChannelTextValue(xt), yt);
                    }
                }
            }
        }
    } catch (const std::exception& e) {
        throw EKvError("Error Loading Data - " + std::string(e.what()));
    }
    FLastDataFileName = fileName;
    if (OnAfterLoadData)
        OnAfterLoadData(this);
}

// ---------------------------------------------------------------------------------------------------
// Logging

void TgPlotComponent::LogActivate(bool append) {
    if (gTrimText(FLogFileName).empty())
        throw EKvError("Log File Name not Defined");
    if (FLoggingActive)
        throw EKvError("Logging Already Active");
    std::FILE* f = std::fopen(FLogFileName.c_str(), append ? "r+b" : "wb");
    if (!f)
        throw EKvError("Cannot open file \"" + FLogFileName + "\"");
    bool ok = true;
    if (!append) {
        std::string header;
        if (FDataFileFormat == TgPlotDataFileFormat::ipdffCompactInterval) {
            header = std::string(kFilesCompactTag) + "\r\n" + std::to_string(ChannelCount()) + "\r\n";
        } else {
            header = "(X)";
            for (int c = 0; c < ChannelCount(); ++c)
                header += GetDataFileSeparatorChar() + GetChannel(c)->TitleText() + "(Y)";
            header += "\r\n";
        }
        ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        throw EKvError("Error writing log file \"" + FLogFileName + "\"");
    FLoggingActive = true;
    FLogBufferCount = 0;
}

void TgPlotComponent::LogDeactivate() {
    if (!FLoggingActive)
        throw EKvError("Logging not Active");
    FLoggingActive = false;
    if (FLogBufferCount > 0)
        WriteLogBuffer();
}

void TgPlotComponent::WriteLogBuffer() {
    const int pending = FLogBufferCount;
    // The count goes back to 0 whatever happens, so one failed write does not fail every later row.
    FLogBufferCount = 0;
    if (ChannelCount() == 0)
        return;
    const bool compact = FDataFileFormat == TgPlotDataFileFormat::ipdffCompactInterval;
    const char sep = GetDataFileSeparatorChar();
    const int last = GetChannel(0)->Count();
    std::string out;
    for (int k = 0; k < pending; ++k) {
        const int p = last - pending + k;
        if (p < 0)
            continue; // deleted since it was counted
        if (compact) {
            for (int c = 0; c < ChannelCount(); ++c) {
                const TgPlotChannelCustom* ch = GetChannel(c);
                const bool has = p < ch->Count();
                if (p < 2)
                    FilesAppendFloat(out, has ? float(ch->GetDataX(p)) : kFilesNoPoint);
                FilesAppendFloat(out, has ? float(ch->GetDataY(p)) : kFilesNoPoint);
            }
        } else {
            out += gChannelValueText(GetChannel(0)->GetDataX(p));
            for (int c = 0; c < ChannelCount(); ++c) {
                const TgPlotChannelCustom* ch = GetChannel(c);
                out += sep;
                if (p < ch->Count())
                    out += FilesYText(*ch, p);
            }
            out += "\r\n";
        }
    }
    std::FILE* f = std::fopen(FLogFileName.c_str(), "r+b");
    if (!f)
        throw EKvError("Cannot open file \"" + FLogFileName + "\"");
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    ok = ok && std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        throw EKvError("Error writing log file \"" + FLogFileName + "\"");
}

// ---------------------------------------------------------------------------------------------------
// Adding and moving data

void TgPlotComponent::AddDataArray(double xValue, const TgVariantArray& data) {
    // An array wider than the plot's channels is refused before any channel takes a point, so a row
    // is either added whole or not at all.
    if ((data.Dimensions() == 1 || data.Dimensions() == 2) && data.Bounds[0].second >= data.Bounds[0].first)
        GetChannel(data.Bounds[0].second - data.Bounds[0].first);
    if (data.Dimensions() == 1) {
        const auto [low, high] = data.Bounds[0];
        for (int i = low; i <= high; ++i) {
            TgPlotChannelCustom* c = GetChannel(i - low);
            const double v = data.At(i);
            const bool null = v > 1e-301 && v<1e-300, empty = v> 1e-302 && v < 1e-301;
            if (null || empty) {
                if (auto* t = dynamic_cast<TgPlotChannel*>(c))
                    null ? t->AddXNull(xValue) : t->AddXEmpty(xValue);
                else if (auto* xy = dynamic_cast<TgXYPlotChannel*>(c))
                    null ? xy->AddNull() : xy->AddEmpty();
            } else {
                c->AddXY(xValue, v);
            }
        }
        ++FLogBufferCount;
    } else if (data.Dimensions() == 2) {
        const auto [low, high] = data.Bounds[0];
        const auto [rowLow, rowHigh] = data.Bounds[1];
        for (int j = rowLow; j <= rowHigh; ++j)
            for (int i = low; i <= high; ++i) {
                TgPlotChannelCustom* c = GetChannel(i - low);
                c->AddXY(c->Count() ? c->XLast() + xValue : 0, data.At(i, j));
            }
        FLogBufferCount += std::max(0, rowHigh - rowLow + 1);
    } else {
        throw EKvError("Data Array must be 1 or 2 Dimensions");
    }
    if (FLoggingActive && FLogBufferCount >= FLogBufferSize)
        WriteLogBuffer();
}

void TgPlotComponent::TransferChannelData(int sourceChannelIndex, int destinationChannelIndex, int startIndex,
                                          int stopIndex) {
    TgPlotChannelCustom* source = GetChannel(sourceChannelIndex);
    TgPlotChannelCustom* destination = GetChannel(destinationChannelIndex);
    if (startIndex < 0)
        throw EKvError("Start Index Must be 0 or Greater");
    if (stopIndex > source->Count() - 1)
        throw EKvError("StopIndex Must Out Of Range");
    for (int i = startIndex; i <= stopIndex; ++i)
        destination->AddPoint(source->GetDataX(i), source->GetDataY(i), source->GetDataNull(i),
                              source->GetDataEmpty(i));
}

} // namespace kv
