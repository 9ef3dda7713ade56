// The factory-preset browser in the editor: the banner's arrows and name field, the pop-up's two
// columns and their rows. Presets load into the processor with their category and index.

#include "EditorTestSupport.h"

using namespace EditorTest;

namespace
{
    using Rows = std::tuple<std::vector<juce::String>, std::vector<int>, int>;

    /** A column's rows: their texts, their tops (-1 for a row that is not as wide as the column
        and 18 pixels high) and the marked row (-1 for none, -2 for more than one). */
    Rows rows (VLPresetList& list)
    {
        Rows r { {}, {}, -1 };
        for (int i = 0; i < list.getNumRows(); ++i)
        {
            const auto& row = *list.getRow (i);
            std::get<0> (r).push_back (row.text);
            std::get<1> (r).push_back (
                row.getBounds().withY (0) == juce::Rectangle<int> (list.getWidth(), 18) ? row.getY() : -1);
            std::get<2> (r) = row.selected ? (std::get<2> (r) == -1 ? i : -2) : std::get<2> (r);
        }
        return r;
    }

    struct PresetBrowserTest : EditorFixture
    {
        VLBanner& banner() { return editor->getBanner(); }
        VLPopupFactoryList& popup() { return editor->getBanner().popup; }

        /** A click on an arrow; then the processor's notice of the load arrives. */
        void click (VLImageButton& arrow)
        {
            clickAt (arrow, 12, 10);
            dispatchPendingMessages();
        }

        /** Marks the processor so that any load would show: modified, input gain 0.123. */
        void mark()
        {
            processor->presetModified = true;
            processor->setParameterNotifyingHost (kInputGain, 0.123f);
        }
        bool untouched() { return processor->presetModified && processor->getParameter (kInputGain) == 0.123f; }

        void expectLoaded (int c, int i)
        {
            EXPECT_EQ (presetState(), std::make_tuple (c, i, false));
            EXPECT_EQ (bannerText(), juce::String (factoryPresetTitle (c, i)));
            EXPECT_EQ (parameterValues (*processor), presetValues (c, i));
        }
    };
}

TEST_F (PresetBrowserTest, BannerLayoutFollowsTheWidthAndPaintsItsDividers)
{
    EXPECT_EQ (banner().previousButton.getBounds(), juce::Rectangle<int> (652, 0, 24, 20));
    EXPECT_EQ (banner().nextButton.getBounds(), juce::Rectangle<int> (676, 0, 24, 20));
    EXPECT_EQ (popup().nameField.getBounds(), juce::Rectangle<int> (100, 0, 552, 20));

    const auto image = render (banner());
    const auto grey = juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f);
    EXPECT_TRUE (image.getPixelAt (80, 1) == grey && image.getPixelAt (101, 10) == grey);
    for (int x : { 100, 652, 676, 700 })
        EXPECT_NE (image.getPixelAt (x, 10), grey) << "divider at " << x;

    editor->setSize (1000, 300);
    EXPECT_EQ (banner().previousButton.getX(), 852);
    EXPECT_EQ (popup().nameField.getWidth(), 752);
    EXPECT_EQ (popup().getBounds(), editor->getLocalBounds());
}

TEST_F (PresetBrowserTest, ArrowsWalkAll32PresetsAcrossCategoriesClearingTheMarkAndStopAtTheEnds)
{
    EXPECT_TRUE (banner().previousButton.dimmed && ! banner().nextButton.dimmed);
    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        for (int i = c == 0 ? 1 : 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
        {
            processor->presetModified = true;
            click (banner().nextButton);
            expectLoaded (c, i);
        }
    EXPECT_TRUE (banner().nextButton.dimmed && ! banner().previousButton.dimmed);
    mark();
    click (banner().nextButton);
    EXPECT_TRUE (untouched());

    for (int c = FACTORY_PRESET_NUM_CATEGORIES - 1; c >= 0; --c)
        for (int i = FACTORY_PRESET_COUNTS[c] - (c == 5 ? 2 : 1); i >= 0; --i)
        {
            click (banner().previousButton);
            expectLoaded (c, i);
        }
    EXPECT_TRUE (banner().previousButton.dimmed && ! banner().nextButton.dimmed);
    mark();
    click (banner().previousButton);
    EXPECT_TRUE (untouched());
}

TEST_F (PresetBrowserTest, StateWasChangedShowsThePresetAndDimsTheArrowsByTheCatalogue)
{
    // The last pair lies outside the catalogue (written directly, as nothing else can): no change.
    // clang-format off
    const struct { int category, index; bool modified; const char* text; bool previousDimmed, nextDimmed; } cases[] = {
        { 5, 4, false, "Mid Fest", false, true },          { 0, 0, false, "Default", true, false },
        { 2, 3, true, "* Unleach The Mid", false, false }, { 0, 5, false, "Small Speaker", false, false },
        { 1, 0, true, "* Good Start", false, false },      { 1, 5, false, "* Good Start", false, false },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        processor->presetCategory = c.category;
        processor->presetIndex = c.index;
        processor->presetModified = c.modified;
        editor->stateWasChanged();
        EXPECT_EQ (bannerText(), c.text);
        EXPECT_EQ (std::make_pair (banner().previousButton.dimmed, banner().nextButton.dimmed),
                   std::make_pair (c.previousDimmed, c.nextDimmed))
            << c.text;
    }
    EXPECT_EQ (std::make_pair (popup().getSelectedCategory(), popup().getSelectedIndex()), std::make_pair (1, 0));
}

TEST_F (PresetBrowserTest, PairsOutsideTheCatalogueChangeNothingAndTheModifiedMarkShowsOnce)
{
    popup().setSelectedPreset (2, 3);
    popup().invalidateCurrentPreset();
    popup().invalidateCurrentPreset();
    mark();
    for (auto [c, i] : { std::pair (6, 0), { 1, 5 }, { -1, 0 }, { 0, -1 }, { 0, 6 }, { INT32_MIN, INT32_MAX } })
    {
        banner().factoryPresetChange (c, i);
        popup().setSelectedPreset (c, i);
    }
    for (auto [list, item] : { std::pair (1, 17), { 0, 6 }, { 0, -1 } })
        popup().modulePresetChange (list, item);
    EXPECT_TRUE (untouched());
    EXPECT_EQ (std::make_tuple (popup().getSelectedCategory(), popup().getSelectedIndex(), popup().getBrowseCategory()),
               std::make_tuple (2, 3, 2));
    EXPECT_EQ (bannerText(), "* Unleach The Mid");

    // A second banner, destroyed while its pop-up is shown, takes the pop-up along.
    const int children = editor->getNumChildComponents();
    auto other = std::make_unique<VLBanner> (editor.get());
    editor->addAndMakeVisible (*other);
    other->showFactoryPresetList();
    ASSERT_EQ (other->popup.getParentComponent(), editor.get());
    other.reset();
    EXPECT_EQ (editor->getNumChildComponents(), children);
}

TEST_F (PresetBrowserTest, TheNameFieldOpensThePopupWhoseColumnsBrowseWithoutLoadingAndLoadAPreset)
{
    knob (kInputGain).mouseWheelMove (mouseAt (knob (kInputGain), 11, 11), wheel (0.1f));
    ASSERT_EQ (bannerText(), "* Default") << "an edit first, so that the load has a mark to clear";
    auto& field = popup().nameField;
    field.mouseDown (mouseAt (field, 10, 10));
    EXPECT_TRUE (field.pressed);
    field.mouseUp (mouseAt (field, { 10, 30 }, { 10, 10 }));
    EXPECT_TRUE (! field.pressed && popup().getParentComponent() == nullptr) << "released outside: only repaints";
    clickAt (field, 20, 10);
    ASSERT_EQ (popup().getParentComponent(), editor.get());
    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), &popup()) << "in front of everything";

    auto& categories = popup().getCategoryList();
    auto& presets = popup().getPresetList();
    EXPECT_EQ (categories.getBounds(), juce::Rectangle<int> (256, 20, 90, 120));
    EXPECT_EQ (presets.getBounds(), juce::Rectangle<int> (346, 20, 150, 120));
    const std::vector<int> sixRows { 6, 24, 42, 60, 78, 96 }, fiveRows { 5, 23, 41, 59, 77 };   // centred
    EXPECT_EQ (rows (categories), Rows (VLBanner::factoryCategoryNames(), sixRows, 0));
    EXPECT_EQ (rows (presets), Rows (VLBanner::factoryTitles()[0], sixRows, 0));
    EXPECT_TRUE (categories.getRow (5)->bright && ! presets.getRow (1)->bright);

    auto& keys = *categories.getRow (3);
    keys.mouseDown (mouseAt (keys, 5, 5));
    keys.mouseUp (mouseAt (keys, { 5, 18 }, { 5, 5 }));
    EXPECT_TRUE (! keys.pressed && std::get<2> (rows (categories)) == 0) << "a row released outside reports nothing";
    clickAt (keys, 89, 17);   // "KEYS": browsing loads nothing
    EXPECT_EQ (rows (presets), Rows (VLBanner::factoryTitles()[3], fiveRows, -1));
    EXPECT_EQ (std::make_pair (std::get<2> (rows (categories)), presets.getHeight()), std::make_pair (3, 100));
    EXPECT_EQ (presetState(), std::make_tuple (0, 0, true));
    clickAt (*categories.getRow (0), 5, 5);
    EXPECT_EQ (std::make_pair (std::get<2> (rows (presets)), presets.getHeight()), std::make_pair (0, 120))
        << "Default marked again";

    // "KEYS", then its "Organ": the row is replaced while its click is handled.
    clickAt (*categories.getRow (3), 5, 5);
    clickAt (*presets.getRow (2), 5, 5);
    expectLoaded (3, 2);
    dispatchPendingMessages();
    EXPECT_EQ (bannerText(), "Organ") << "the processor's own notice agrees";
    EXPECT_EQ (std::get<2> (rows (presets)), 2);
    EXPECT_FALSE (banner().previousButton.dimmed || banner().nextButton.dimmed);
    host.clear();
    tick();
    EXPECT_EQ (knob (kLowMidFreq).getValue(), std::pow (presetValues (3, 2)[kLowMidFreq], 0.5f));
    EXPECT_TRUE (host.events.empty()) << "the widgets follow without sending anything back";

    popup().mouseDown (mouseAt (popup(), 700, 200));
    EXPECT_EQ (popup().getParentComponent(), nullptr) << "a press outside the columns hides it";
}

TEST (ColumnRow, TextAlphaFollowsTheFlagsInOrder)
{
    // Pressed wins over everything, then selected, then hovered or bright.
    // clang-format off
    const struct { bool bright, hover, selected, pressed; int alpha; } cases[] = {
        { false, false, false, false, 153 }, { true, false, false, false, 178 }, { false, true, false, false, 178 },
        { true, true, false, false, 178 },   { true, true, true, false, 252 },   { true, true, true, true, 242 },
        { false, false, false, true, 242 },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        VLPresetListButton row ("x", 0, nullptr);
        row.bright = c.bright;
        row.hover = c.hover;
        row.selected = c.selected;
        row.pressed = c.pressed;
        EXPECT_EQ (row.getTextAlpha(), c.alpha) << c.bright << c.hover << c.selected << c.pressed;
    }
}
