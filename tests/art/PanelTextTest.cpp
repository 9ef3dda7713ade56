// The text printed on the panel against what the editor draws over it: the value bubble that
// appears above a dragged knob must never hide a caption, a title or a scale label, and no two
// lines of text may touch. The boxes come from the art generator as it draws the panel.

#include "EditorLayout.h"
#include "PanelArt.h"
#include "PluginEditor.h"

#include <gtest/gtest.h>

namespace
{
namespace L = EditorLayout;

std::string describe (const ArtKit::DrawnText& t)
{
    const auto& b = t.box;
    return "\"" + t.text.toStdString() + "\" at " + b.toString().toStdString();
}

TEST (PanelText, noValueBubbleCoversAnyText)
{
    const auto texts = PanelArt::drawnTexts();
    int bubbles = 0;

    for (const auto& place : L::parameterPlaces)
    {
        if (place.kind != L::WidgetKind::knob)
            continue;     // only the rotary knobs raise the bubble

        ++bubbles;
        const auto bubble = QuilloAudioProcessorEditor::bubbleBoundsFor (place.paramIndex, { place.x, place.y, place.w, place.h })
                                .toFloat();
        for (const auto& text : texts)
            EXPECT_FALSE (bubble.intersects (text.box))
                << "bubble of parameter " << place.paramIndex << " " << bubble.toString() << " covers " << describe (text);
    }
    EXPECT_EQ (bubbles, 16);
}

TEST (PanelText, noTwoLinesOfTextTouch)
{
    const auto texts = PanelArt::drawnTexts();
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j)
            EXPECT_FALSE (texts[i].box.intersects (texts[j].box)) << describe (texts[i]) << " and " << describe (texts[j]);
}
}
