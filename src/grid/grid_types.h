#pragma once
// Option sets and small enumerations shared by the grid's columns, cells,
// displays and the control itself. Enumerator order follows the control
// family's published order so that stored bit patterns keep their meaning.
#include <QFlags>

namespace vantrel::grid {

enum TGridOption {
    goArrowKeyExitEditing = 1 << 0,
    goCanHideColumn = 1 << 1,       // dropping a header outside the header row hides it
    goDisableColumnMoving = 1 << 2,
    goDisableKeys = 1 << 3,
    goEscClearEdit = 1 << 4,
    goFooter = 1 << 5,
    goGrid = 1 << 6,                // grid lines; one pixel right of and below every cell
    goHeader = 1 << 7,              // header row of HeaderSize pixels
    goIndicator = 1 << 8,
    goInput = 1 << 9,
    goLockFixedCols = 1 << 10,
    goMultiSelect = 1 << 11,
    goRowResizing = 1 << 12,
    goRowMoving = 1 << 13,
    goSecondClickEdit = 1 << 14,
    goSelectFullRow = 1 << 15,      // selection is a whole-row matter
    goUseDefaultValues = 1 << 16,   // new rows take the columns' DefaultValue
    goInplaceEditEvents = 1 << 17,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)

enum TAppearanceOption {
    ao3DGridLines = 1 << 0,
    aoAlphaBlendedSelection = 1 << 1,
    aoBoldTextSelection = 1 << 2,
    aoDontFillCells = 1 << 3,
    aoHideFocus = 1 << 4,
    aoHideSelection = 1 << 5,       // nothing looks selected without keyboard focus
    aoHighlightSlideCells = 1 << 6,
    aoHintMarks = 1 << 7,
    aoIndicateSelectedCell = 1 << 8,
    aoIndicateSortedColumn = 1 << 9,
};
Q_DECLARE_FLAGS(TAppearanceOptions, TAppearanceOption)

enum THeaderStyle { hsAuto, hsDefault, hsFlat, hsOffice2007, hsOffice2010, hsOldStyle, hsOutlook, hsVista };

enum TGridLinesStyle { lsNormal, lsActiveHorzOnly, lsActiveRows, lsFramed, lsHorizontalOnly, lsVerticalOnly };

enum TColumnOption {
    coAutoSize = 1 << 0,
    coCanClick = 1 << 1,
    coCanInput = 1 << 2,
    coCanSort = 1 << 3,
    coDisableMoving = 1 << 4,
    coDontHighlight = 1 << 5,
    coEditing = 1 << 6,
    coEditorAutoSelect = 1 << 7,
    coFixedSize = 1 << 8,
    coImageForIcon = 1 << 9,
    coPublicUsing = 1 << 10,
    coFullResort = 1 << 11,
    coSearchColumn = 1 << 12,
    coShowTextFitHint = 1 << 13,
    coTextForCaption = 1 << 14,
};
Q_DECLARE_FLAGS(TColumnOptions, TColumnOption)

enum TColumnStyle {
    csClickable = 1 << 0,
    csCanEdit = 1 << 1,
    csDisableSorting = 1 << 2,
    csFitToLargest = 1 << 3,
    csRedrawInplaceEdit = 1 << 4,
    csTextFitHint = 1 << 5,
    csWantReturns = 1 << 6,
};
Q_DECLARE_FLAGS(TColumnStyles, TColumnStyle)

enum TSortType { stAlphabetic, stBoolean, stCaseInsensitive, stCustom, stNumeric, stDate, stIP, stUnicodeAlphabetic };
enum TSortKind { skAscending, skDescending };

// Decides the kind of cell a column makes: ctFloat gives TFloatCell, every
// other type a TStringCell.
enum TColumnType { ctAutoInc, ctBoolean, ctDate, ctFloat, ctGuid, ctInteger, ctString, ctVirtual };

enum TColumnChangeKind {
    ccFieldName, ccInputChange, ccPosition, ccRevertStyle, ccSlideChanged,
    ccSorted, ccSortTypeChange, ccUndefined, ccVisible, ccUnsorted, ccWidth,
};

enum TWrapKind { wkNone, wkEllipsis, wkPathEllipsis, wkWordWrap };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

enum TProgressStyle { psSolid, psBoxes, psGradient, psCylinder };
enum TTextPosition { tpInside, tpBeside };

// Font style bits a cell keeps of its column's font.
enum TFontStyle { fsBold = 1 << 0, fsItalic = 1 << 1, fsUnderline = 1 << 2, fsStrikeOut = 1 << 3 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)

} // namespace vantrel::grid

Q_DECLARE_OPERATORS_FOR_FLAGS(vantrel::grid::TGridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantrel::grid::TAppearanceOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantrel::grid::TColumnOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantrel::grid::TColumnStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantrel::grid::TFontStyles)
