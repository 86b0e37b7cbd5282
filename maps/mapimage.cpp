#include "maps/mapimage.h"

#include "core/coordinates.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "maps/messages.h"

#include <QFileInfo>
#include <cstring>

namespace velmora::maps {

MapImage::MapImage(core::DatabaseStore& store) : m_store(store) {
    m_store.AddListener(this);
}

MapImage::~MapImage() {
    m_store.RemoveListener(this);
}

QString MapImage::CalibrationLabel() const {
    return ResStr(m_calibrated ? rsCalibrated : rsNotCalibrated);
}

LoadResult MapImage::LoadMap(const QString& path) {
    if (m_loaded)
        return LoadResult::AlreadyLoaded;
    const QFileInfo file(path);
    // A map that cannot be read leaves the picture, its calibration and the map name as
    // they were: drawing on the previous picture under the new name would put every dot in
    // the wrong place.
    if (!file.isFile()) {
        core::UserPrompts().Message(ResStr(rsMapFileMissing).arg(path), core::MessageKind::Error);
        return LoadResult::NotRead;
    }
    if (!core::IsImageFileName(path)) {
        core::UserPrompts().Message(ResStr(rsMapNotAPicture).arg(file.fileName()),
                                    core::MessageKind::Error);
        return LoadResult::NotRead;
    }
    QImage picture;
    try {
        core::LoadImage(picture, path, maxPixels);
        picture.convertTo(QImage::Format_RGB32);
        if (picture.isNull())
            throw core::Error(core::ResStr(core::rsNotEnoughMemory), path);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(ResStr(rsMapNotRead).arg(e.Message()),
                                    core::MessageKind::Error);
        return LoadResult::NotRead;
    }
    m_plain = std::move(picture);
    m_working = m_plain;
    m_extension = QLatin1Char('.') + file.suffix().toLower();
    m_caption = file.fileName();
    m_calibrated = true;

    const std::optional<MapEdges> edges = EdgesFromFileName(file.fileName());
    if (!edges) {
        m_calibrated = false;
        core::UserPrompts().Message(ResStr(rsMapNoCoordinates) + QLatin1Char('\n') +
                                        ResStr(rsMapMustBeCalibrated),
                                    core::MessageKind::Warning);
        return LoadResult::NotCalibrated;
    }
    const std::optional<MapCalibration> calibration = MapCalibration::FromEdges(
        EdgesInKilometres(*edges, m_store.CoordinateSystem()), m_working.size());
    if (!calibration) {
        m_calibrated = false;
        core::UserPrompts().Message(ResStr(rsMapNoExtent) + QLatin1Char('\n') +
                                        ResStr(rsMapMustBeCalibrated),
                                    core::MessageKind::Warning);
        return LoadResult::NotCalibrated;
    }
    m_calibration = calibration;
    m_store.SetMapName(file.fileName());
    m_loaded = true;
    return LoadResult::Calibrated;
}

LoadResult MapImage::LoadStoredMap() {
    if (m_loaded)
        return LoadResult::AlreadyLoaded;
    const QString name = m_store.MapName();
    if (name.isEmpty()) {
        core::UserPrompts().Message(ResStr(rsNoMapChosen));
        return LoadResult::NoMap;
    }
    // The name comes from a settings file: it may only name a file in the Maps folder.
    if (!core::IsPlainFileName(name)) {
        core::UserPrompts().Message(ResStr(rsMapNameNotUsable).arg(name),
                                    core::MessageKind::Warning);
        return LoadResult::NotRead;
    }
    return LoadMap(core::MapsDir() + name);
}

LoadResult MapImage::OpenMap(const QString& path) {
    m_loaded = false;
    return LoadMap(path);
}

QSize MapImage::FittedSize(QSize image, QSize panel) {
    if (image.isEmpty() || panel.isEmpty())
        return {};
    const qint64 w = qint64(image.width()) * panel.height() / image.height();
    if (w > panel.width())
        return QSize(panel.width(), int(qint64(image.height()) * panel.width() / image.width()));
    return QSize(int(w), panel.height());
}

QImage MapImage::FittedView(QSize panel) const {
    const QSize size = FittedSize(m_working.size(), panel);
    if (size.isEmpty())
        return {};
    return m_working.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

CalibrationOutcome MapImage::Calibrate(const CalibrationRequest& request) {
    CalibrationPoint first;
    CalibrationPoint second;
    try {
        first.x = core::ParseDegrees(request.x1);
        first.y = core::ParseDegrees(request.y1);
    } catch (const core::Error&) {
        core::UserPrompts().Message(ResStr(rsErrorInX1Y1), core::MessageKind::Error);
        return CalibrationOutcome::Refused;
    }
    try {
        second.x = core::ParseDegrees(request.x2);
        second.y = core::ParseDegrees(request.y2);
    } catch (const core::Error&) {
        core::UserPrompts().Message(ResStr(rsErrorInX2Y2), core::MessageKind::Error);
        return CalibrationOutcome::Refused;
    }
    if (m_plain.isNull()) {
        core::UserPrompts().Message(ResStr(rsNoMapChosen));
        return CalibrationOutcome::Refused;
    }
    const QSize full = m_plain.size();
    first.pixel = FullSizePixel(request.first, full, request.shownSize);
    second.pixel = FullSizePixel(request.second, full, request.shownSize);
    const CalibrationResult result = ComputeEdges(first, second, full);
    if (result.check != CalibrationCheck::Ok) {
        core::UserPrompts().Message(ResStr(result.check == CalibrationCheck::PointsTooClose
                                               ? rsPointsTooClose
                                               : rsPointsNoExtent),
                                    core::MessageKind::Error);
        return CalibrationOutcome::Refused;
    }

    const QString proposal = ProposedMapName(m_store.MapName());
    const std::optional<QString> typed =
        core::UserPrompts().InputText(ResStr(rsMapNameCaption), ResStr(rsMapNamePrompt), proposal);
    const QString name = CalibrationNamePart(typed.value_or(proposal));
    const QString fileName =
        CalibratedFileName(name, result.edges, m_store.CoordinateSystem(), m_extension);
    if (!core::UserPrompts().YesNo(ResStr(rsMapWillBeSavedAs) + QLatin1Char('\n') + fileName)) {
        core::UserPrompts().Message(ResStr(rsMapNotSaved));
        return CalibrationOutcome::NotSaved;
    }
    const QString path = core::MapsDir() + fileName;
    core::SaveImage(m_plain, path);
    m_store.SetMapName(fileName);
    m_loaded = false;
    LoadMap(path);
    return CalibrationOutcome::Saved;
}

bool MapImage::SaveWorkingImage(const QString& path) const {
    return core::SaveImage(m_working, path);
}

QString SavedImagePath(const QString& chosenPath, const QString& part, const QString& extension) {
    const QFileInfo chosen(chosenPath);
    QString folder = chosen.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + chosen.completeBaseName() + part + extension;
}

void MapImage::ResetWorkingImage() {
    if (!m_plain.isNull() && m_working.isDetached() && m_working.size() == m_plain.size() &&
        m_working.format() == m_plain.format() &&
        m_working.bytesPerLine() == m_plain.bytesPerLine()) {
        std::memcpy(m_working.bits(), m_plain.constBits(), std::size_t(m_plain.sizeInBytes()));
        return;
    }
    m_working = m_plain;
}

} // namespace velmora::maps
