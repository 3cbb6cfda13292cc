// freexl_dump FILE.xls: columns A-C of the first sheet as CSV-like lines,
// read with FreeXL; the other side of the benchmark's process comparison.

#include <freexl.h>

#include <cstdio>

namespace {

void printCell(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        std::printf("%d", cell.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        std::printf("%.15g", cell.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        std::fputs(cell.value.text_value, stdout);
        break;
    default:
        break;
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const void *handle = nullptr;
    if (argc != 2 || freexl_open(argv[1], &handle) != FREEXL_OK) {
        std::fputs("usage: freexl_dump FILE.xls (a readable workbook)\n", stderr);
        return 2;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK
        || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        freexl_close(handle);
        return 2;
    }
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < 3; ++column) {
            FreeXL_CellValue cell{};
            if (column < columns && freexl_get_cell_value(handle, row, column, &cell) == FREEXL_OK)
                printCell(cell);
            std::putchar(column < 2 ? ',' : '\n');
        }
    }
    freexl_close(handle);
    return 0;
}
