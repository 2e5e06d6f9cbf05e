// The window arrives with the main-window work.
