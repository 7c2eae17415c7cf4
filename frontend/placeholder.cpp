// placeholder: keeps the core library non-empty until the logic lands
