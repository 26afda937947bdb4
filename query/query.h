#pragma once
// The query procedure and the handlers of the timed query and the clock line.
// They read and write the main window only through the Ui_* operations and
// fetch only through Ui_FetchPage.

// Click of 按钮_查询: empties 编辑框_信息 and writes the report of the number
// in 编辑框_ID, or the error text.
void Query_Run();
// Tick of 时钟2: the same query appended to what the box holds, without hint lines.
void Query_RunTimed();
// Click of 选择框3: starts 时钟2 with the interval of 编辑框_定时, or stops it.
void Query_OnTimedSwitchClick();
// Tick of 时钟1: writes the clock line into 透明标签2.
void Query_OnClockTick();
