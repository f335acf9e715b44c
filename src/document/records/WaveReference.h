#pragma once
// A parameter that names another open wave instead of a number: the envelope of a volume or
// filter operation, the partner of a mix, the sample wave of a music player. It holds the name
// of the wave document (the name the wave lists show and the wave window's caption begins with)
// and the document picked for it when a dialog read the choice. The document is not owned: the
// reference only says which one was chosen.

#include "sound/Sound.h"

#include <string>
#include <vector>

namespace kelvorn {

class TUnitWave;

/// What a reference needs of the program to find an open wave document by its name. The main
/// window implements it; tests use a fake.
class WaveDocumentFinder
{
public:
    virtual ~WaveDocumentFinder() = default;
    /// The open wave document called name, or nullptr.
    virtual TUnitWave* FindUnitWave(const std::string& name) = 0;
};

/// One entry of a dialog's wave list: a document name with the document it stands for.
struct WaveChoice
{
    std::string caption;
    TUnitWave* unitWave = nullptr;
};

class unitUnitWave
{
public:
    /// No wave chosen: caption "", no document.
    unitUnitWave() = default;
    /// Keeps newCaption without the characters at or below the blank at either end; no
    /// document.
    explicit unitUnitWave(const std::string& newCaption);

    /// Equal captions (exact, case-sensitive) are the same reference; the documents are not
    /// compared, because a reference read again from the same list names the same wave.
    bool operator==(const unitUnitWave& other) const { return caption == other.caption; }

    /// The caption, the text form of the value.
    const std::string& GetCaption() const { return caption; }
    /// Stores text as the caption as it is; always true.
    bool SetCaption(const std::string& text);
    /// The document picked in a dialog; nullptr until one was read.
    TUnitWave* GetUnitWave() const { return unitWave; }
    /// The sound of the picked document. Callers use it only after a dialog read the
    /// reference; without a document the answer is nullptr (with the assertion box).
    SoundPtr GetSound() const;
    /// Stores both parts, as reading a dialog's list does.
    void Set(const std::string& newCaption, TUnitWave* document);
    /// Caption "" and no document.
    void Clear();
    bool IsEmpty() const { return caption.empty(); }

    /// Asks finder for the open wave document of this caption. Found: answers it and leaves the
    /// stored document alone. Not found: appends "Cannot find window \"<caption>\"." to message
    /// and answers nullptr.
    TUnitWave* FindUnitWave(WaveDocumentFinder& finder, std::string& message) const;

    /// Takes the entry a dialog's wave list has selected (nullptr: none). Does nothing when ok
    /// is already false. With no selection: "In <label>: You have to select a Wave" under
    /// "Input Error", the reference emptied and ok cleared.
    void ReadWaveChoice(bool& ok, const WaveChoice* selected, const std::string& label);
    /// The entry of a filled wave list that shows this reference: the index of the entry whose
    /// caption equals this one, or current (the selection stays) for caption "" or a caption
    /// the list lacks.
    int FindWaveChoice(const std::vector<std::string>& captions, int current) const;

private:
    std::string caption;
    TUnitWave* unitWave = nullptr; // not owned
};

} // namespace kelvorn
