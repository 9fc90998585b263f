// FilterPreset: the catalogue of ready-made filter descriptions: four menus of colour looks from
// the bundle's curve files ("BRIGHT", "WARM", "MAGENTA", "CYAN"), three further curve groups,
// face retouching, flip and rotate, and single adjustments.
//
// Each list is built on its first read and kept. No lock: used from the main thread.
#pragma once

#include <string>
#include <vector>

#include "filter/filter_preset_base.h"

class FilterPreset : public FilterPresetBase {
public:
    KORVA_MAKE(FilterPreset)

    const Value& descFace();
    const Value& descFlipRotate();
    const Value& descAdjustment();
    const Value& descBnW();      // menu "BRIGHT"
    const Value& descCyan();     // menu "CYAN"
    const Value& descMagenta();  // menu "MAGENTA"
    const Value& descYellow();   // menu "WARM"
    const Value& descBnW2();
    const Value& descCyan2();
    const Value& descYellow2();

    void setDescFace(Value v) { descFace_ = std::move(v); }
    void setDescFlipRotate(Value v) { descFlipRotate_ = std::move(v); }
    void setDescAdjustment(Value v) { descAdjustment_ = std::move(v); }
    void setDescBnW(Value v) { descBnW_ = std::move(v); }
    void setDescCyan(Value v) { descCyan_ = std::move(v); }
    void setDescMagenta(Value v) { descMagenta_ = std::move(v); }
    void setDescYellow(Value v) { descYellow_ = std::move(v); }
    void setDescBnW2(Value v) { descBnW2_ = std::move(v); }
    void setDescCyan2(Value v) { descCyan2_ = std::move(v); }
    void setDescYellow2(Value v) { descYellow2_ = std::move(v); }

    // The four menus in order: label and list.
    static const std::vector<std::string>& menuLabels();
    const Value& menu(std::size_t index);
    // The preset key of a menu entry: "%ld-%ld".
    static std::string presetKey(long menu, long item);

    // Curve names of each group, as listed (unsorted).
    static const std::vector<std::string>& namesBnW();
    static const std::vector<std::string>& namesYellow();
    static const std::vector<std::string>& namesMagenta();
    static const std::vector<std::string>& namesCyan();
    static const std::vector<std::string>& namesBnW2();
    static const std::vector<std::string>& namesCyan2();
    static const std::vector<std::string>& namesYellow2();
    // Every curve name the catalogue reads.
    static std::vector<std::string> allCurveNames();

    // A curve group: names sorted without regard to case; each file "%@.acv" of the bundle read
    // and converted. A missing file or one that gives no description is skipped; the others keep
    // the number of their sorted position. Display names are the format with that number, or
    // the capitalised name when the format is empty.
    static Value descsFromCurves(std::vector<std::string> names, const std::string& format);

    std::string className() const override { return "FilterPreset"; }

protected:
    FilterPreset() = default;

private:
    Value descFace_, descFlipRotate_, descAdjustment_;
    Value descBnW_, descCyan_, descMagenta_, descYellow_, descBnW2_, descCyan2_, descYellow2_;
};

// Registers the filter engine's services with the Global registry (the catalogue and the
// colour-space table). Call once at start-up, before the first use of either.
void registerFilterServices();
