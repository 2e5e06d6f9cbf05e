#include "chart_view.h"
