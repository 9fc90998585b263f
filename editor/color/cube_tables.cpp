#include "editor/color/cube_tables.h"

#include "editor/adjust/adj_record.h"
#include "editor/color/color_cube_data_view.h"
#include "editor/color/color_values.h"
#include "ui/theme/color_custom.h"

ValueArray randomCubeTable(long n) {
    ValueArray table;
    if (n < 1 || n > ColorCubeDataView::kMaxDimension) return table;
    const auto cells = static_cast<std::size_t>(n * n * n);
    table.reserve(cells);
    for (std::size_t i = 0; i < cells; ++i) table.push_back(numbersOfColor(*randomColor()));
    return table;
}

long cubeDimensionOf(const Value& record) {
    return static_cast<long>(adjRecordFloat(record, "value"));
}
