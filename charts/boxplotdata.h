#pragma once
// The measured environment of the locations a map run lists: the pH and conductivity
// ("EGV") values, and their boxplots drawn into an image.
//
// The lists are filled in the order of the run and sorted in place at every drawing. The
// orientation is 0 (vertical boxplots side by side) or 1 (horizontal boxplots one above the
// other); any other value draws vertically.
//
// Scales of the drawing, with W and H the image's size: pH runs linearly from 2 to 10,
// conductivity logarithmically from 1 to 1000 (0.26667 of the image per decade).
// Conductivity values that are not above 0 count in the statistics; the drawing puts them at
// the edge of the image beyond the low end of the axis, visibly off the scale.

#include "charts/boxplotstatistics.h"

#include <QImage>
#include <QString>
#include <vector>

namespace velmora::charts {

enum BoxplotOrientation { boVertical = 0, boHorizontal = 1 };

// The leading run of digits, "," and "." of a stored measurement ("6,5 ca." gives "6,5"; a
// text that starts with anything else gives an empty text).
QString LeadingNumberText(const QString& text);

class BoxplotData {
public:
    static constexpr int kImageWidth = 1000;

    // Empty lists, vertical, and the own image 1000 x 1000 pixels.
    BoxplotData();

    int Orientation() const { return m_orientation; }
    // Stores the orientation, sizes the own image (1000 high for vertical, 300 for
    // horizontal) and empties both lists.
    void ResetBoxplotData(int orientation);
    // Appends each text that is not empty, as a number ("." as the decimal separator when
    // the text has one, else ","). Throws core::Error with the number-conversion message when
    // a text is not a number; then neither list changes.
    void AddEnvironmentValues(const QString& phText, const QString& ecText);

    // Draws the frame and the boxplots of the lists that are not empty into the image, which
    // keeps its size. Before a horizontal drawing the own image is made width x 3/10 high.
    // Sorts both lists.
    void DrawBoxplots(QImage& image);
    // Draws into the own image and returns it.
    const QImage& DrawOwnBoxplots();

    const QImage& Image() const { return m_image; }
    const std::vector<double>& PhValues() const { return m_ph; }
    const std::vector<double>& EcValues() const { return m_ec; }

private:
    void SizeOwnImage(int height);

    int m_orientation = boVertical;
    std::vector<double> m_ph;
    std::vector<double> m_ec;
    QImage m_image;
};

// Positions of values in a boxplot image of the given size (round to nearest, halves even).
int PhRow(double value, int height);        // vertical: pH 2 at 0.9 H, pH 10 at 0.1 H
int EcRow(double value, int height);        // vertical: 1 at 0.9 H, 1000 near 0.1 H
int PhColumn(double value, int width);      // horizontal: pH 2 at 0.1 W, 10 at 0.9 W
int EcColumn(double value, int width);      // horizontal: 1 at 0.1 W
int BoxplotPenWidth(int width, int height); // round(diagonal) / 300

} // namespace velmora::charts
