// Anchor of the library that carries the compiled native language file as a Qt resource
// (":/lang/native.lng"); qt_add_resources links the resource object itself.
int tarnwickNativeLanguageAnchor = 0;
