#pragma once
// The photo folder of an event: a folder below the main photo folder named after the event's
// year, month, location and coordinates ("/2019/Maand 05/Ven#coord. 181.2 - 372.9"), where
// the photographs of its samples are kept. The proposal can be edited; whatever the user
// types, the folder is made below the main folder and nowhere else.

#include <QString>

namespace velmora::core {
class Dataset;
}

namespace velmora::support {

// The fields that name the folder, as texts.
struct PhotoEvent {
    QString year;     // JAAR
    QString month;    // MAAND
    QString location; // LOCATIE
    QString x;        // COORDX
    QString y;        // COORDY
};

// The fields of the current record of the locations table (edits in progress included).
PhotoEvent PhotoEventOf(core::Dataset& locations);

// The main folder the dialog shows: the photo folder setting, or core::DefaultPhotoFolder()
// when the setting is empty.
QString MainPhotoFolder(const QString& setting);

// A text made usable as one folder name: separators ("/" and "\") and control characters
// become "_", and a name of dots only ("." or "..", which would step out of the folder) gets
// a "_" in front. Anything else is kept.
QString SafeFolderName(const QString& text);

// The proposed sub-folder: "/" year "/" month folder "/" location "#coord. " x " - " y, each
// part a safe folder name. The month folder is the translatable "\Maand " followed by the
// month, without its leading separator.
QString ProposedSubfolder(const PhotoEvent& event);

// The full path of main folder + sub-folder. The sub-folder's parts are separated by "/" or
// "\" (so a path typed as the earlier versions wrote it still works); empty parts are
// skipped. Empty when the sub-folder has a part "." or "..", or no part at all, or the main
// folder is empty: such a path could end outside the main folder or be the main folder itself.
QString PhotoFolderPath(const QString& mainFolder, const QString& subfolder);

// Makes the folder of PhotoFolderPath() with every missing parent. True when it exists
// afterwards (an existing folder is not an error).
bool MakePhotoFolder(const QString& mainFolder, const QString& subfolder);

// Where a folder dialog for `folder` starts: the folder itself when it exists, otherwise the
// user's documents folder, otherwise the home folder (never a refusal: the user can still
// choose).
QString FolderDialogStart(const QString& folder);

} // namespace velmora::support
