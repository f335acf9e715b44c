#pragma once
// The base of every document (wave, music piece, factory): its name, its kind, the file it was
// loaded from or saved to, its temporary copy inside a project, the window that shows it and the
// switch that decides whether changes are recorded. The document knows its window only through
// DocumentWindowLink, which the shell's document window implements.

#include "document/DocumentKind.h"
#include "general/xml/XMLElement.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

/// What any document asks of the window that shows it.
class DocumentWindowLink
{
public:
    virtual ~DocumentWindowLink() = default;
    /// The document's name changed from oldName: rebuild the caption, and (a wave window) repaint
    /// the waves that referred to the document under its old caption.
    virtual void RefreshCaption(const std::string& oldName) = 0;
    /// The document's file name changed: rebuild the caption from name and file name.
    virtual void UpdateCaption() = 0;
    /// Shows the drawing mouse cursor (cursor number 1).
    virtual void SetDrawCursor() = 0;
};

class TFileUnit
{
public:
    /// An untitled document without name, temporary file or window, tracking changes.
    explicit TFileUnit(DocumentKind kind);
    virtual ~TFileUnit();
    TFileUnit(const TFileUnit&) = delete;
    TFileUnit& operator=(const TFileUnit&) = delete;

    const std::string& GetName() const { return name; }
    /// Stores the name, then tells the window with the previous one (RefreshCaption).
    void SetName(const std::string& newName);

    const std::string& GetFileName() const { return fileName; }
    /// Stores the full path, then lets the window rebuild its caption (UpdateCaption).
    void SetFileName(const std::string& newFileName);
    /// True while the document has no file.
    bool IsUntitled() const { return fileName.empty(); }

    /// Fixed by the constructor.
    DocumentKind GetKind() const { return documentKind; }

    /// Number of the document's copy in the project's "TempSaveFiles" directory; -1 for none.
    int32_t GetTempFileNumber() const { return tempFileNumber; }
    void SetTempFileNumber(int32_t number) { tempFileNumber = number; }

    /// The window, set when the window links itself to the document; null before.
    DocumentWindowLink* GetWindow() const { return window; }
    void SetWindow(DocumentWindowLink* link) { window = link; }

    /// While false the marking operations of the documents change nothing.
    bool GetTrackModified() const { return trackModified; }
    void SetTrackModified(bool track) { trackModified = track; }

    // ---- What every kind answers, so that the shell asks the document instead of its kind ----

    /// Whether the document has changes its file does not hold.
    virtual bool IsModified() const = 0;
    /// Forgets the changes (after a save, or when a project copy holds them).
    virtual void ClearModified() = 0;
    /// Writes the document to its own file. False when it has none or the write failed (the
    /// document said why); the change flags are the caller's to clear.
    virtual bool Save() = 0;
    /// Writes the document to fileName, leaving its own file name alone. False when the write
    /// failed (the document said why).
    virtual bool SaveAs(const std::string& fileName) = 0;
    /// Writes the copy a project keeps of unsaved work to fileName.
    virtual bool SaveProjectCopy(const std::string& fileName) { return SaveAs(fileName); }
    /// Whether a project must keep a copy of the document: it has unsaved changes.
    virtual bool NeedsProjectCopy() const { return IsModified(); }
    /// Reads the document's own file again. False with the reason and the file at fault when
    /// it could not (the document may then hold what was read before the failure).
    virtual bool Revert(std::string& message, std::string& failedFile) = 0;
    /// The extension of the document's files without the dot ("wav").
    std::string GetFileExtension() const;
    /// The close question's word for the document ("Wave").
    std::string GetKindWord() const;

    /// For the project file: a text element "File" holding the file name, or null when untitled.
    std::unique_ptr<TXMLStringElement> CreateXmlFile() const;
    /// A text element "TempFile" holding the number in decimal, or null when there is none.
    std::unique_ptr<TXMLStringElement> CreateXmlTempFile() const;

private:
    std::string name;
    DocumentKind documentKind;
    std::string fileName;
    int32_t tempFileNumber = -1;
    DocumentWindowLink* window = nullptr;
    bool trackModified = true;
};

} // namespace kelvorn
