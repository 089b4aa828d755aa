// Picture library: the build progress dialog.
#pragma once
