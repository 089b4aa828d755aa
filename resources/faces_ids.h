// Built-in face bitmaps.
#pragma once
