#include "document/wave/SideFile.h"

#include "document/views/ViewXml.h"
#include "document/views/WaveDisplayPart.h"
#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Memory.h"
#include "general/Messages.h"
#include "general/files/Links.h"
#include "general/files/SafeFile.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLWriter.h"

#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

namespace kelvorn {

using viewxml::IsElement;
using viewxml::Missing;

std::string SideFileName(const std::string& wavePath)
{
    static const char wav[] = ".wav";
    const std::string waveFileName = ResolveLinks(wavePath);
    size_t n = waveFileName.size();
    bool endsWithWav = n >= 4;
    for (size_t i = 0; endsWithWav && i < 4; ++i)
        endsWithWav = std::tolower(static_cast<unsigned char>(waveFileName[n - 4 + i])) == wav[i];
    return (endsWithWav ? waveFileName.substr(0, n - 4) : waveFileName) + ".kvw";
}

// ---- grammar ----------------------------------------------------------------------------------

const TDTDCompound* CreateUnitWaveGrammar(TDTDGrammar& grammar)
{
    // The four empty elements share one empty content.
    auto* empty = grammar.Make<TDTDEmpty>();
    auto text = [&grammar](const char* name) { return grammar.Make<TDTDContentText>(name); };
    auto kind = [&grammar, empty](const char* name) {
        return grammar.Make<TDTDCompound>(name, empty);
    };
    auto compound = [&grammar](const char* name, std::initializer_list<const TDTDItem*> items) {
        return grammar.Make<TDTDCompound>(name, viewxml::Sequence(grammar, items));
    };

    const TDTDItem* wavePos = text("WavePos");
    const TDTDItem* valueDraw = grammar.Make<TDTDCompound>(
        "ValueDraw", viewxml::Choice(grammar, {compound("Part", {wavePos, wavePos}),
                                               compound("Cursor", {wavePos})}));
    const TDTDItem* drawPoint = compound("DrawPoint", {text("Position"), text("WaveValue")});
    const TDTDItem* userDraw =
        compound("UserDraw", {viewxml::Choice(grammar, {kind("DrawLinear"), kind("DrawParabola")}),
                              grammar.Make<TDTDRepeatMin0>(drawPoint), text("DrawLength")});
    const TDTDItem* emptyWave =
        compound("EmptyWave", {viewxml::Choice(grammar, {kind("Mono"), kind("Stereo")}),
                               text("SampleFreq"), text("BytesPerSample")});
    return compound(sideFileRoot,
                    {text("Version"), viewxml::Choice(grammar, {valueDraw, userDraw}),
                     CreateViewGroupGrammar(grammar), grammar.Make<TDTDOptional>(emptyWave)});
}

const TDTDCompound& UnitWaveGrammar()
{
    struct Built
    {
        Built() : root(CreateUnitWaveGrammar(grammar)) {}
        TDTDGrammar grammar;
        const TDTDCompound* root;
    };
    static const Built built;
    return *built.root;
}

// ---- the drawing's rules ----------------------------------------------------------------------

namespace {

struct DrawPoint
{
    int16_t value;
    double position;
    const TXMLItem* xmlPosition; // where a reader reports a bad position; nullptr when writing
};

void At(const TXMLItem* xml, int32_t& line, int32_t& column)
{
    if (xml) {
        line = xml->GetLine();
        column = xml->GetColumn();
    }
}

// What rendering needs of a drawing: at least two points, positions increasing, the last at 1
// (rendering walks the points up to just below 1 and must find a segment for every value), and
// a length whose sample count fits a wave.
bool CheckDrawing(const std::vector<DrawPoint>& points, double length, int32_t sampleFreq,
                  const TXMLItem* xmlUserDraw, const TXMLItem* xmlLength, std::string& message,
                  int32_t& line, int32_t& column)
{
    if (points.size() < 2) {
        At(xmlUserDraw, line, column);
        message = "In UserDraw: A drawing needs at least two DrawPoints.";
        return false;
    }
    for (size_t i = 1; i < points.size(); ++i) {
        if (!(points[i].position > points[i - 1].position)) {
            At(points[i].xmlPosition, line, column);
            message = "In DrawPoint Position: Value must be more than the Position of the "
                      "DrawPoint before.";
            return false;
        }
    }
    if (points.back().position != 1.0) {
        At(points.back().xmlPosition, line, column);
        message = "In DrawPoint Position: The last DrawPoint must be at 1.";
        return false;
    }
    double count = std::trunc(static_cast<double>(sampleFreq) * length + 1.0);
    if (!(count <= static_cast<double>(MaxWaveValues))) {
        At(xmlLength, line, column);
        message = "In DrawLength: Value is too large to count its samples.";
        return false;
    }
    return true;
}

std::vector<DrawPoint> DrawPointsOf(const TUnitWave& wave)
{
    std::vector<DrawPoint> points;
    for (const TDrawNode* node = wave.GetDrawNodes(); node; node = node->GetNext())
        points.push_back({node->GetValue(), node->GetPosition(), nullptr});
    return points;
}

} // namespace

// ---- writing ----------------------------------------------------------------------------------

std::unique_ptr<TXMLComplexElement> TUnitWave::WriteXml() const
{
    auto root = std::make_unique<TXMLComplexElement>(sideFileRoot);
    root->AddText("Version", sideFileVersion);
    if (!UserDrawing) {
        TXMLComplexElement* valueDraw = root->AddComplex("ValueDraw");
        if (wavePos1 == wavePos2) {
            unitInteger(wavePos1, EHNone).AddToXML(*valueDraw->AddComplex("Cursor"), "WavePos");
        } else {
            TXMLComplexElement* part = valueDraw->AddComplex("Part");
            unitInteger(GetPartBegin(), EHNone).AddToXML(*part, "WavePos");
            unitInteger(GetPartEnd(), EHNone).AddToXML(*part, "WavePos");
        }
    } else {
        TXMLComplexElement* userDraw = root->AddComplex("UserDraw");
        KV_SOFT_ASSERT(DrawKind == DrawLinear || DrawKind == DrawParabola);
        userDraw->AddComplex(DrawKind == DrawParabola ? "DrawParabola" : "DrawLinear");
        // Positions and length are written exactly: display digits would move the nodes, or
        // merge two close ones, and change the sample count of the next rendering.
        for (const TDrawNode* node = DrawNodes; node; node = node->GetNext()) {
            TXMLComplexElement* point = userDraw->AddComplex("DrawPoint");
            point->AddText("Position", FormatExact(node->GetPosition()));
            unitWaveVal(node->GetValue(), EHValue).AddToXML(*point, "WaveValue");
        }
        userDraw->AddText("DrawLength", FormatExact(DrawLength) + " s");
    }
    // Without a window the default display part is written, so the file stays readable.
    if (childWave)
        childWave->WriteViewXml(*root);
    else
        TWaveDisplayPart().WriteXml(*root);
    if (GetValues() == 0) {
        TXMLComplexElement* emptyWave = root->AddComplex("EmptyWave");
        emptyWave->AddComplex(GetMonoStereo() == 1 ? "Mono" : "Stereo");
        unitIntegerPosMore(GetSampleFreq(), EHNone).AddToXML(*emptyWave, "SampleFreq");
        unitIntegerPosMore(GetBytesPSample(), EHNone).AddToXML(*emptyWave, "BytesPerSample");
    }
    return root;
}

bool TUnitWave::SaveShadowFile(const std::string& waveFileName)
{
    std::string error;
    bool ok = true;
    if (UserDrawing) {
        // A drawing its own reader would refuse is not written.
        int32_t line = 0;
        int32_t column = 0;
        ok = CheckDrawing(DrawPointsOf(*this), DrawLength, GetSampleFreq(), nullptr, nullptr, error,
                          line, column);
    }
    const std::string sideFile = SideFileName(waveFileName);
    const NewFiles made({sideFile});
    if (ok)
        ok = WriteXMLFile(*WriteXml(), sideFile, error);
    // One that root made for a user's wave would refuse the owner's every later save.
    if (ok)
        made.GiveOwnerOf(waveFileName);
    if (!ok)
        Messages().Show("Cannot save Wave Shadow File: " + error + " The Wave is saved correctly.",
                        "FileError", MsgIcon::Information, MsgButtons::Ok);
    return ok;
}

// ---- reading ----------------------------------------------------------------------------------

namespace {

// A whole side file, checked, before anything of it is applied.
struct SideFileContent
{
    bool userDraw = false;
    bool part = false;
    int32_t first = 0;
    int32_t second = 0;
    uint8_t drawKind = TUnitWave::DrawLinear;
    double drawLength = 1.0;
    std::vector<DrawPoint> points;
    TWaveDisplayPart display;
    bool emptyWave = false;
    bool stereo = false;
    int32_t sampleFreq = 0;
    int16_t bytesPSample = 0;
};

bool ReadInteger(unitInteger& value, const TXMLItem* xml, const char* label, std::string& message,
                 int32_t& line, int32_t& column)
{
    return viewxml::ReadValue(value, xml, label, message, line, column);
}

bool ReadValueDraw(SideFileContent& content, const TXMLItem* xmlValueDraw, std::string& message,
                   int32_t& line, int32_t& column)
{
    const TXMLItem* xmlPartCursor = viewxml::FirstChild(xmlValueDraw);
    if (!KV_SOFT_ASSERT(IsElement(xmlPartCursor, "Part") || IsElement(xmlPartCursor, "Cursor")))
        return Missing(xmlValueDraw, xmlPartCursor, "Cursor", message, line, column);
    const TXMLItem* xmlPos = viewxml::FirstChild(xmlPartCursor);
    if (!KV_SOFT_ASSERT(IsElement(xmlPos, "WavePos")))
        return Missing(xmlPartCursor, xmlPos, "WavePos", message, line, column);
    unitIntegerPos first;
    if (IsElement(xmlPartCursor, "Cursor")) {
        if (!ReadInteger(first, xmlPos, "Cursor WavePos", message, line, column))
            return false;
        content.first = content.second = first.GetValue();
        return true;
    }
    const TXMLItem* xmlPos2 = xmlPos->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xmlPos2, "WavePos")))
        return Missing(xmlPartCursor, xmlPos2, "WavePos", message, line, column);
    unitIntegerPos second;
    if (!ReadInteger(first, xmlPos, "Part WavePos 1", message, line, column) ||
        !ReadInteger(second, xmlPos2, "Part WavePos 2", message, line, column))
        return false;
    // Written as (smaller, larger): other files are refused rather than asserted on.
    if (second.GetValue() < first.GetValue()) {
        message = "In Part WavePos 2: Value must not be less than Part WavePos 1.";
        return false;
    }
    content.part = true;
    content.first = first.GetValue();
    content.second = second.GetValue();
    return true;
}

bool ReadUserDraw(SideFileContent& content, const TXMLItem* xmlUserDraw, const TXMLItem*& xmlLength,
                  std::string& message, int32_t& line, int32_t& column)
{
    content.userDraw = true;
    const TXMLItem* xml = viewxml::FirstChild(xmlUserDraw);
    if (!KV_SOFT_ASSERT(IsElement(xml, "DrawLinear") || IsElement(xml, "DrawParabola")))
        return Missing(xmlUserDraw, xml, "DrawLinear", message, line, column);
    content.drawKind =
        IsElement(xml, "DrawParabola") ? TUnitWave::DrawParabola : TUnitWave::DrawLinear;
    for (xml = xml->GetNext(); IsElement(xml, "DrawPoint"); xml = xml->GetNext()) {
        const TXMLItem* xmlPosition = viewxml::FirstChild(xml);
        if (!KV_SOFT_ASSERT(IsElement(xmlPosition, "Position")))
            return Missing(xml, xmlPosition, "Position", message, line, column);
        const TXMLItem* xmlValue = xmlPosition->GetNext();
        if (!KV_SOFT_ASSERT(IsElement(xmlValue, "WaveValue")))
            return Missing(xml, xmlValue, "WaveValue", message, line, column);
        unitFactorPosMax1 position;
        unitWaveVal value(0, EHValue);
        if (!viewxml::ReadValue(position, xmlPosition, "DrawPoint Position", message, line,
                                column) ||
            !viewxml::ReadValue(value, xmlValue, "DrawPoint WaveValue", message, line, column))
            return false;
        content.points.push_back({value.value, position.GetValue(), xmlPosition});
    }
    if (!KV_SOFT_ASSERT(IsElement(xml, "DrawLength")))
        return Missing(xmlUserDraw, xml, "DrawLength", message, line, column);
    unitTimePos length;
    if (!viewxml::ReadValue(length, xml, "DrawLength", message, line, column))
        return false;
    content.drawLength = length.GetValue();
    xmlLength = xml;
    return true;
}

bool ReadEmptyWave(SideFileContent& content, const TXMLItem* xmlEmptyWave, std::string& message,
                   int32_t& line, int32_t& column)
{
    const TXMLItem* xml = viewxml::FirstChild(xmlEmptyWave);
    if (!KV_SOFT_ASSERT(IsElement(xml, "Mono") || IsElement(xml, "Stereo")))
        return Missing(xmlEmptyWave, xml, "Mono", message, line, column);
    content.stereo = IsElement(xml, "Stereo");
    const TXMLItem* xmlFreq = xml->GetNext();
    const TXMLItem* xmlBytes = xmlFreq ? xmlFreq->GetNext() : nullptr;
    if (!KV_SOFT_ASSERT(IsElement(xmlFreq, "SampleFreq") && IsElement(xmlBytes, "BytesPerSample")))
        return Missing(xmlEmptyWave, xmlBytes ? xmlBytes : xmlFreq, "BytesPerSample", message, line,
                       column);
    KV_SOFT_ASSERT(xmlBytes->GetNext() == NULL);
    unitIntegerPosMore freq(44100, EHNone);
    unitIntegerPosMore bytes(2, EHNone);
    if (!ReadInteger(freq, xmlFreq, "SampleFreq", message, line, column) ||
        !ReadInteger(bytes, xmlBytes, "BytesPerSample", message, line, column))
        return false;
    // Samples are stored in 8 or 16 bits; anything else would make a wave no file can hold.
    if (bytes.GetValue() != 1 && bytes.GetValue() != 2) {
        message = "In BytesPerSample: Value must be 1 or 2.";
        return false;
    }
    content.emptyWave = true;
    content.sampleFreq = freq.GetValue();
    content.bytesPSample = static_cast<int16_t>(bytes.GetValue());
    return true;
}

} // namespace

bool TUnitWave::ReadXml(const TXMLItem* xmlUnitWave, std::string& message, int32_t& line,
                        int32_t& column, bool displayFlag, SoundPtr* sound)
{
    if (!KV_SOFT_ASSERT(IsElement(xmlUnitWave, sideFileRoot)))
        return Missing(xmlUnitWave, nullptr, sideFileRoot, message, line, column);
    const TXMLItem* xmlVersion = viewxml::FirstChild(xmlUnitWave);
    if (!KV_SOFT_ASSERT(IsElement(xmlVersion, "Version")))
        return Missing(xmlUnitWave, xmlVersion, "Version", message, line, column);

    SideFileContent content;
    const TXMLItem* xmlKindDraw = xmlVersion->GetNext();
    const TXMLItem* xmlLength = nullptr;
    if (IsElement(xmlKindDraw, "ValueDraw")) {
        if (!ReadValueDraw(content, xmlKindDraw, message, line, column))
            return false;
    } else if (KV_SOFT_ASSERT(IsElement(xmlKindDraw, "UserDraw"))) {
        if (!ReadUserDraw(content, xmlKindDraw, xmlLength, message, line, column))
            return false;
    } else {
        return Missing(xmlUnitWave, xmlKindDraw, "ValueDraw", message, line, column);
    }

    const TXMLItem* xmlDisplay = xmlKindDraw->GetNext();
    const TXMLItem* xmlEmptyWave = nullptr;
    if (!content.display.ReadXml(xmlDisplay, message, line, column, &xmlEmptyWave))
        return false;
    if (xmlEmptyWave) {
        if (!KV_SOFT_ASSERT(IsElement(xmlEmptyWave, "EmptyWave")))
            return Missing(xmlUnitWave, xmlEmptyWave, "EmptyWave", message, line, column);
        if (!ReadEmptyWave(content, xmlEmptyWave, message, line, column))
            return false;
    }
    if (content.userDraw && !CheckDrawing(content.points, content.drawLength,
                                          content.emptyWave ? content.sampleFreq : GetSampleFreq(),
                                          xmlKindDraw, xmlLength, message, line, column))
        return false;

    // The window takes its part last of all reading, so that a refused file changes nothing.
    if (childWave && !childWave->ReadViewXml(xmlDisplay, message, line, column, displayFlag))
        return false;

    if (!content.userDraw) {
        if (UserDrawing)
            StopUserDrawing();
        if (content.part)
            SetPart(content.first, content.second);
        else
            SetCursor(content.first);
    } else {
        RestoreUserDrawing(content.drawKind, content.drawLength);
        // The points were checked to increase, so file order is position order; linked from
        // the last to the first, each node goes in front of the list at once, where appending
        // would walk the whole list per node.
        for (auto point = content.points.rbegin(); point != content.points.rend(); ++point)
            InsertDrawNode(std::make_unique<TDrawNode>(point->value, point->position));
        if (childWave)
            childWave->SetDrawCursor();
    }
    if (content.emptyWave && KV_SOFT_ASSERT(sound != NULL)) {
        if (content.stereo)
            *sound = std::make_shared<StereoSound>(content.sampleFreq, content.bytesPSample);
        else
            *sound = std::make_shared<MonoSound>(content.sampleFreq, content.bytesPSample);
    }
    return true;
}

int ReadSideFileTokens(TUnitWave& wave, const TXMLToken& tokens, const std::string& version,
                       std::string& message, bool displayFlag, SoundPtr& sound)
{
    KV_SOFT_ASSERT(version == "8.0");
    TXMLArenaScope arena;
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &tokens;
    bool fatal = false;
    if (!UnitWaveGrammar().Parse(root, cursor, message, fatal))
        return 2;
    int32_t line = 0;
    int32_t column = 0;
    if (!wave.ReadXml(root.GetFirstChild(), message, line, column, displayFlag, &sound)) {
        message += viewxml::AtPosition(line, column);
        return 2;
    }
    return 1;
}

int TUnitWave::LoadShadowFile(const std::string& sideFileName, std::string& message,
                              bool displayFlag, SoundPtr& sound)
{
    std::string version;
    TXMLToken tokens(sideFileName, version);
    if (tokens.GetTokenKind() == xmlTokenError) {
        message = tokens.GetError();
        return 2;
    }
    return ReadSideFileTokens(*this, tokens, version, message, displayFlag, sound);
}

} // namespace kelvorn
