# The desktop game: the Qt windows around the core. Filled in with the court window.
