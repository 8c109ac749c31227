#include "RowMarks.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>
#include <optional>

namespace {

enum class Sign { Tick, Cross, CutShort, FullBox, Exclamation, Dash, Play };

struct Look
{
    QColor disc;
    Sign sign;
};

Sign FailureSign(const std::optional<EncodeFailure>& failure)
{
    switch (failure ? failure->kind : EncodeFailure::Kind::Unknown) {
    case EncodeFailure::Kind::SourceShort:
    case EncodeFailure::Kind::SourceIsOutput:
        return Sign::CutShort;
    case EncodeFailure::Kind::DestinationFull:
    case EncodeFailure::Kind::DestinationUnwritable:
    case EncodeFailure::Kind::NameTaken:
        return Sign::FullBox;
    default:
        return Sign::Cross;
    }
}

std::optional<Look> LookOf(const JobOutcome& outcome)
{
    switch (outcome.state) {
    case JobState::Converting:
        return Look {QColor(0x1f, 0x6f, 0xd1), Sign::Play};
    case JobState::Converted:
        return Look {QColor(0x1e, 0x8e, 0x3e), Sign::Tick};
    case JobState::ConvertedWithoutSubtitles:
        return Look {QColor(0xc7, 0x7c, 0x02), Sign::Tick};
    case JobState::Failed:
        return Look {QColor(0xc6, 0x28, 0x28), FailureSign(outcome.failure)};
    case JobState::Refused:
        return Look {QColor(0xd8, 0x4a, 0x05), Sign::Exclamation};
    case JobState::NotReached:
        return Look {QColor(0x75, 0x75, 0x75), Sign::Dash};
    case JobState::Skipped:
        return Look {QColor(0x75, 0x75, 0x75), Sign::Tick};
    case JobState::Waiting:
    case JobState::Probed:
        break;
    }
    return std::nullopt;
}

QPixmap Draw(const Look& look, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    // A thin lighter rim keeps the disc apart from a dark background.
    p.setPen(QPen(look.disc.lighter(140), 0.8));
    p.setBrush(look.disc);
    p.drawEllipse(QRectF(0.8, 0.8, 14.4, 14.4));
    QPen pen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (look.sign) {
    case Sign::Tick:
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.3), QPointF(7, 10.8), QPointF(11.5, 5.5)}));
        break;
    case Sign::Cross:
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
        break;
    case Sign::CutShort:
        // A strip that ends half-way.
        p.drawLine(QPointF(3.8, 8), QPointF(8.6, 8));
        p.drawLine(QPointF(8.6, 5.2), QPointF(8.6, 10.8));
        p.drawPoint(QPointF(11.8, 8));
        break;
    case Sign::FullBox:
        // A box filled to the brim.
        p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.6, 6.4, 6.8, 5));
        p.drawLine(QPointF(4.2, 4.6), QPointF(11.8, 4.6));
        break;
    case Sign::Exclamation:
        p.drawLine(QPointF(8, 4.2), QPointF(8, 9));
        p.drawPoint(QPointF(8, 11.8));
        break;
    case Sign::Dash:
        p.drawLine(QPointF(4.8, 8), QPointF(11.2, 8));
        break;
    case Sign::Play: {
        QPainterPath triangle;
        triangle.addPolygon(QPolygonF({QPointF(6.2, 4.6), QPointF(11.6, 8), QPointF(6.2, 11.4)}));
        triangle.closeSubpath();
        p.fillPath(triangle, Qt::white);
        break;
    }
    }
    return pixmap;
}

} // namespace

QIcon RowMark(const JobOutcome& outcome)
{
    // Made once per state: rows of the same state share one icon. Never destroyed, so no pixmap is freed
    // after the application object is gone.
    static auto* made = new std::map<std::pair<int, int>, QIcon>;
    const std::optional<Look> look = LookOf(outcome);
    const std::pair<int, int> key
        = look ? std::pair {static_cast<int>(look->disc.rgb()), static_cast<int>(look->sign)} : std::pair {0, -1};
    auto found = made->find(key);
    if (found == made->end()) {
        QIcon icon;
        for (const int size : {16, 24, 32, 48}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            if (look)
                pixmap = Draw(*look, size);
            // The list is disabled while the batch runs; its marks keep their colours.
            icon.addPixmap(pixmap, QIcon::Normal);
            icon.addPixmap(pixmap, QIcon::Disabled);
        }
        found = made->emplace(key, icon).first;
    }
    return found->second;
}
