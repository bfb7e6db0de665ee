#pragma once

#include "core/album/Album.h"

// The family album's pictures, drawn by the user interface's means: photos read upright at the size
// they are shown at and written again as bare JPEGs (nothing of the camera's EXIF or GPS survives a
// fresh encoding), and the growth charts through the same painter as the screen and paper, written
// as SVG. Needs a QGuiApplication (the charts' text).
class AlbumDrawing : public Album::Drawing {
public:
    bool picture(const QString& path, int side, int smallSide, QByteArray* large,
                 QByteArray* small) const override;
    QByteArray growthChart(const GrowthPlot::Plot& plot, GrowthReference::Measure measure,
                           GrowthUnits::System units, int width, int height) const override;
};
