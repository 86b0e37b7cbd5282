#pragma once
// The map of the dot-map window: the picture as loaded (the plain map, never drawn on), the
// working image the dots are drawn on (what the window shows and saves), the calibration
// read from the file name, and the two-point calibration that writes a calibrated copy.
//
// The map belongs to the current database: its file name is the database's map name
// (DatabaseStore::MapName, saved in the database's settings file), and the coordinate
// system decides how the numbers of the name are read. A MapImage listens to the store: when
// another database is opened or the map must be read again, the next LoadMap reads the file
// again; when the database closes, the working image is emptied so that no map stays on
// screen.
//
// The loaded flag: set by a load that read a picture and its calibration; while set,
// LoadMap does nothing, so showing the window again keeps what was drawn. It is cleared by
// ClearLoaded ("Open Kaart", opening a dot settings file), by the store's MapMustReload and
// before a freshly calibrated copy is loaded.
//
// Images are 32 bits per pixel without alpha (QImage::Format_RGB32): every pixel an opaque
// colour, the layout QPainter draws fastest on.
//
// Messages go through core::UserPrompts(); a map that cannot be read is reported and leaves
// everything as it was. Writing a file that fails throws core::Error.

#include "core/databasestore.h"
#include "core/imagefiles.h"
#include "maps/mapcalibration.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace velmora::maps {

// What the user entered for a two-point calibration.
struct CalibrationRequest {
    QPoint first; // the clicked positions, in the picture as shown
    QPoint second;
    QString x1; // the typed coordinates: decimal numbers or degrees "d:m"
    QString y1;
    QString x2;
    QString y2;
    QSize shownSize; // the size of the shown picture when fitted to the window; empty when
                     // the picture is shown at full size
};

enum class LoadResult {
    AlreadyLoaded, // the loaded flag was set: nothing happened
    Calibrated,    // picture and calibration read; the map name is the file's name
    NotCalibrated, // picture read, but its name gives no usable calibration (reported)
    NotRead,       // no picture: missing, not a map file, damaged or too large (reported)
    NoMap,         // the database has no map name (reported)
};

enum class CalibrationOutcome {
    Saved,    // the calibrated copy was written and loaded
    NotSaved, // the user declined to save it (reported)
    Refused,  // unreadable coordinates or unusable points (reported); nothing written
};

class MapImage final : public core::DatabaseListener {
public:
    // Listens to the store from here on.
    explicit MapImage(core::DatabaseStore& store);
    ~MapImage() override;
    MapImage(const MapImage&) = delete;
    MapImage& operator=(const MapImage&) = delete;

    // Reads the picture and its calibration (nothing while the loaded flag is set). A
    // picture is read only when it exists, is a .bmp, .jpg or .png file, holds at most
    // maxPixels pixels (checked before decoding) and decodes; it becomes the
    // plain map and a copy of it the working image. Then the calibration is read from the
    // file name: on success it replaces the previous one, the map name becomes the file
    // name and the loaded flag is set; on failure the two-line message is shown, the label
    // reads "Niet gekalibreerd" and the previous calibration and map name stay.
    LoadResult LoadMap(const QString& path);
    // The map the database names: LoadMap of MapsDir + the map name. An empty map name shows
    // "Er is geen kaart gevonden, open eerst een kaartbestand"; a name that is no plain file
    // name is reported and not used.
    LoadResult LoadStoredMap();
    // "Open Kaart": clears the loaded flag and loads the chosen file.
    LoadResult OpenMap(const QString& path);

    bool Loaded() const { return m_loaded; }
    void ClearLoaded() { m_loaded = false; }

    // Whether the last picture read had a usable calibration in its name, and the label
    // text that says so ("Gekalibreerd" or "Niet gekalibreerd").
    bool IsCalibrated() const { return m_calibrated; }
    QString CalibrationLabel() const;
    // The calibration of the last calibrated map read; drawing uses it (also after a
    // picture without calibration was opened). Nothing before the first.
    const std::optional<MapCalibration>& Calibration() const { return m_calibration; }

    // The file name (without folder) of the last picture read: the window's caption.
    QString Caption() const { return m_caption; }
    // Its extension in lower case with the dot (".png").
    QString Extension() const { return m_extension; }

    const QImage& PlainMap() const { return m_plain; }
    const QImage& WorkingImage() const { return m_working; }
    // For drawing on the working image.
    QImage& WorkingImage() { return m_working; }
    // A new map: the working image becomes a copy of the plain map again. The pixels are
    // copied into the working image's own memory when it has the plain map's size, so that a
    // run does not take fresh memory for a picture of many megabytes each time.
    void ResetWorkingImage();
    // Empties the working image (the database is closed: no map stays on screen).
    void ClearWorkingImage() { m_working = QImage(); }

    // The smallest legend font size the map allows: its width div 250.
    int LegendFontMinimum() const { return m_plain.width() / 250; }

    // The size of the working image fitted to a panel with its proportions kept: the
    // height-fitted width is width * panel height div height; when that exceeds the panel
    // width the picture is panel width by height * panel width div width, otherwise that
    // width by the panel height. Empty for an empty image or panel.
    static QSize FittedSize(QSize image, QSize panel);
    // The working image scaled to FittedSize with smooth resampling.
    QImage FittedView(QSize panel) const;

    // The two-point calibration: reads the typed coordinates, converts clicks in a fitted
    // picture to full-size pixels, computes the edges, asks for a name (proposing the map
    // name up to its first "_"), asks whether to save under the new file name, and on Yes
    // writes the plain map (not the working image) to MapsDir under that name and loads it.
    // Throws core::Error when the file cannot be written.
    CalibrationOutcome Calibrate(const CalibrationRequest& request);

    // Writes the working image by the extension of the path (core::SaveImage). Returns false
    // (nothing written) for another extension; throws core::Error when writing fails.
    bool SaveWorkingImage(const QString& path) const;

    // The largest picture LoadMap reads, in pixels.
    qint64 maxPixels = core::kMaxImagePixels;

    // core::DatabaseListener
    void MapMustReload() override { m_loaded = false; }
    void DatabaseClosing() override { ClearWorkingImage(); }

private:
    core::DatabaseStore& m_store;
    QImage m_plain;
    QImage m_working;
    std::optional<MapCalibration> m_calibration;
    QString m_caption;
    QString m_extension;
    bool m_loaded = false;
    bool m_calibrated = false;
};

// The parts of the file names a drawn map is saved under: the map itself and the plots
// saved beside it.
inline const QString kMapFilePart = QStringLiteral(" - kaart");
inline const QString kPhEcFilePart = QStringLiteral(" - pH and EC");
inline const QString kPhenologyFilePart = QStringLiteral(" - Phenology");
inline const QString kBoxplotFilePart = QStringLiteral(" - pH-EGV Boxplot");

// The file a saved map (or a plot beside it) goes to: the folder of the chosen path, its
// name without folder and extension, the part and the extension ("/maps/Monsters.png",
// kMapFilePart, ".png" gives "/maps/Monsters - kaart.png").
QString SavedImagePath(const QString& chosenPath, const QString& part, const QString& extension);

} // namespace velmora::maps
