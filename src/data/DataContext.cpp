#include "data/DataContext.h"

DataContext& dataContext() {
    static DataContext ctx;
    return ctx;
}

TSessaoUsuario& sessaoUsuario() {
    static TSessaoUsuario s;
    return s;
}
