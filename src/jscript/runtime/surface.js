// The JScript 5.8 global surface (placeholder: filled in by the runtime work).
