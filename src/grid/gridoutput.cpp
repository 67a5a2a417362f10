#include "grid/gridoutput.h"

TGridOutputFactory &GridOutputFactory() {
    static TGridOutputFactory factory;
    return factory;
}
