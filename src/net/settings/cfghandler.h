#pragma once

#include <QString>

// A store of named text items, each addressed by a key, a section and an optional
// sub-section. The operations never raise; they report success.
class TCfgHandler {
public:
    virtual ~TCfgHandler() = default;
    // The item's text; true when the item exists, is not empty and could be read.
    virtual bool Read(const QString &section, const QString &subSection, QString &text,
                      const QString &key) = 0;
    // Replaces the item with the text; true when all of it was stored.
    virtual bool Write(const QString &section, const QString &subSection, const QString &text,
                       const QString &key) = 0;
    // Removes the item; true when it was removed.
    virtual bool Delete(const QString &section, const QString &subSection, const QString &key) = 0;
};

// The configuration store as one Windows-1250 file per item in a folder: key "." section
// ["." sub-section]. Items are replaced atomically, so a failed write keeps the old item.
class TFileCfgHandler : public TCfgHandler {
public:
    // Creates the folder with all missing parents.
    explicit TFileCfgHandler(const QString &folder);

    const QString &folder() const { return m_folder; }
    // The item's file, or empty when a name part would leave the folder.
    QString itemPath(const QString &section, const QString &subSection, const QString &key) const;

    bool Read(const QString &section, const QString &subSection, QString &text,
              const QString &key) override;
    bool Write(const QString &section, const QString &subSection, const QString &text,
               const QString &key) override;
    bool Delete(const QString &section, const QString &subSection, const QString &key) override;

private:
    QString m_folder;
};
